#pragma once

#include <functional>

#include "MsgBoxTypes.h"

// Where the program's messages are answered.  With no answerer installed the
// real FrmMsgBox is shown; tests install one that scripts the answers.
class MessageBoxSeam {
public:
    using Answerer = std::function<int(const MsgBoxRequest&)>;
    static void Install(Answerer answerer);
    static bool IsScripted();
    static int Answer(const MsgBoxRequest& request);
};
