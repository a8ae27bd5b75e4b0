#pragma once

#include <memory>

#include <QList>
#include <QString>

class clsError;

// One level of a path parsed by clsFile.  On Linux the root "/"
// is the drive: its level has IsDrive, IsCreated and Islocal set.  There are
// no server or share levels: IsServer and IsShare stay False.
class clsPathElement {
public:
    clsPathElement() = default;
    ~clsPathElement();
    clsPathElement(const clsPathElement&) = delete;
    clsPathElement& operator=(const clsPathElement&) = delete;

    std::shared_ptr<clsError> MyError;
    QString Element;           // the level's text
    bool IsCreated = false;    // the level exists
    bool IsValid = false;      // the parser looked the level up on disk
    bool IsFile = false;       // exists and is not a folder
    bool Isdirectory = false;  // exists and is a folder
    bool Islocal = false;      // the root, or a level the lookup found
    bool IsServer = false;
    bool IsDrive = false;      // the root "/"
    bool IsShare = false;
};

// A parser collection: elements in level order, level 1 first.  A null
// pointer means no collection.
using PathCollection = QList<std::shared_ptr<clsPathElement>>;
