#pragma once

#include <functional>

#include <QString>

// Where a web page is handed to the user's browser.  With no opener
// installed the desktop's default browser gets it; tests install one that
// records the address.  The answer says whether the page could be handed on.
class WebPageSeam {
public:
    using Opener = std::function<bool(const QString& address)>;
    static void Install(Opener opener);
    static bool Open(const QString& address);
};
