#pragma once

#include <QPixmap>

class ImageList;
class QObject;

// The 16 x 16 pictures the list panes draw in their rows and column
// headers, drawn by code so that no image file ships with the program.
namespace ListIcons {

// Row pictures, by their number in the row image list.
enum Item {
    kUnchecked = 0,    // empty check box
    kChecked,          // ticked check box
    kRemoved,          // grey box with a cross
    kLeftInBoth,       // green arrow pointing right
    kLeftNotInOther,   // red arrow pointing right
    kRightInBoth,      // green arrow pointing left
    kRightNotInOther,  // red arrow pointing left
    kInvalid,          // box with a red "In"
    kDuplicate,        // box with a blue "Du"
    kDeleted,          // box with a green "De"
    kAttachment,       // paper clip
    kPriority,         // red exclamation mark
    kItemCount
};

// Header pictures, by their number in the header image list.
enum Header {
    kUnsorted = 0,  // grey horizontal bar
    kAscending,     // grey triangle pointing down
    kDescending,    // grey triangle pointing up
    kHeaderCount
};

inline constexpr int kSize = 16;

QPixmap ItemPicture(int item);
QPixmap HeaderPicture(int header);

// New image lists holding every picture of a kind in its order.
ImageList* NewItemImages(QObject* parent);
ImageList* NewHeaderImages(QObject* parent);

}  // namespace ListIcons
