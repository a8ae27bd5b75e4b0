#pragma once

#include <Qt>

class QWidget;

// Where CenterForm puts a form on each axis: centred on its owner (on the
// screen when it has none, or when the owner is minimised), a margin inside
// one edge, or, for a form with an owner, just outside one of its edges.
// Edges are those of the owner, or of the screen when there is none.
struct FormPlacement {
    enum class Vertical {
        Centre,
        Top,         // 330 twips below the top edge
        Bottom,      // 390 twips above the bottom edge
        OwnerTop,    // level with the owner's top (no owner: as Top)
        BelowOwner,  // just below the owner (no owner: as Bottom)
    };
    enum class Horizontal {
        Centre,
        Left,          // 400 twips right of the left edge
        Right,         // 400 twips left of the right edge
        LeftOfOwner,   // just left of the owner (no owner: as Left)
        RightOfOwner,  // just right of the owner (no owner: as Right)
    };
    Vertical vertical = Vertical::Centre;
    Horizontal horizontal = Horizontal::Centre;

    bool operator==(const FormPlacement&) const = default;
};

// Placing and dragging forms, in twips.
namespace modGlobalFunctions {

// Mouse buttons as the form handlers number them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

// 1 left, 2 right, 4 middle, 0 any other button.
int ButtonNumber(Qt::MouseButton button);

void CenterForm(QWidget* Frm, QWidget* OFrm, FormPlacement where = {});

// A left-button press drags the window as its caption bar would.
void MouseMoveForm(QWidget* Frm, int button);

}  // namespace modGlobalFunctions
