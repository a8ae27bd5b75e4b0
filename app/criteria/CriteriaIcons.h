#pragma once

#include <QPixmap>

class ImageList;
class QObject;

// The 16 x 16 pictures of the criteria editor's keyword list, drawn by code.
namespace CriteriaIcons {

// Row pictures, by their number in the row image list.
enum Item {
    kUnticked = 0,   // empty box
    kTicked,         // ticked box
    kInUse,          // solid blue triangle pointing right
    kHeader,         // red "He"
    kContent,        // red "Co"
    kSubject,        // red "Su"
    kWholeWord,      // blue "Wo"
    kCaseSensitive,  // green "CS"
    kNotInUse,       // hollow grey triangle pointing right
    kItemCount
};

// Header pictures, by their number in the header image list.
enum Header {
    kUnsorted = 0,  // short grey bar: a column that sorts
    kAscending,     // outline triangle pointing down
    kDescending,    // outline triangle pointing up
    kHeaderCount
};

inline constexpr int kSize = 16;

QPixmap ItemPicture(int item);
QPixmap HeaderPicture(int header);

ImageList* NewItemImages(QObject* parent);
ImageList* NewHeaderImages(QObject* parent);

}  // namespace CriteriaIcons
