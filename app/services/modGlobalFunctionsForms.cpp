#include "modGlobalFunctionsForms.h"

#include <cmath>
#include <cstdint>

#include <QWidget>
#include <QWindow>

#include "FormGeometry.h"
#include "MessagePump.h"
#include "Screen.h"

namespace modGlobalFunctions {

namespace {
// Margins from an edge, in twips.
constexpr int64_t kTopMargin = 330;
constexpr int64_t kBottomMargin = 390;
constexpr int64_t kSideMargin = 400;

// The screen's pointer while a window is dragged.
constexpr int kMovePointer = 5;

// Form arithmetic rounds halves to the even neighbour.
int64_t Half(int64_t v) { return static_cast<int64_t>(std::nearbyint(static_cast<double>(v) / 2.0)); }
}  // namespace

int ButtonNumber(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton: return kLeftButton;
        case Qt::RightButton: return kRightButton;
        case Qt::MiddleButton: return kMiddleButton;
        default: return 0;
    }
}

void CenterForm(QWidget* Frm, QWidget* OFrm, FormPlacement where) {
    if (Frm == nullptr || FormGeometry::IsMinimized(Frm)) return;
    const Screen* screen = Screen::Instance();
    const int64_t fw = FormGeometry::Width(Frm);
    const int64_t fh = FormGeometry::Height(Frm);
    const bool owner = OFrm != nullptr;
    const int64_t ot = owner ? FormGeometry::Top(OFrm) : 0;
    const int64_t ol = owner ? FormGeometry::Left(OFrm) : 0;
    const int64_t ow = owner ? FormGeometry::Width(OFrm) : screen->Width();
    const int64_t oh = owner ? FormGeometry::Height(OFrm) : screen->Height();
    // A minimised owner has no area to centre on: the screen's centre.
    const bool onOwner = owner && !FormGeometry::IsMinimized(OFrm);
    int64_t top = onOwner ? ot + Half(oh - fh) : Half(screen->Height() - fh);
    int64_t left = onOwner ? ol + Half(ow - fw) : Half(screen->Width() - fw);

    using V = FormPlacement::Vertical;
    switch (where.vertical) {
        case V::Centre: break;
        case V::Top: top = ot + kTopMargin; break;
        case V::Bottom: top = ot + oh - fh - kBottomMargin; break;
        case V::OwnerTop: top = owner ? ot : ot + kTopMargin; break;
        case V::BelowOwner: top = owner ? ot + oh : ot + oh - fh - kBottomMargin; break;
    }
    using H = FormPlacement::Horizontal;
    switch (where.horizontal) {
        case H::Centre: break;
        case H::Left: left = ol + kSideMargin; break;
        case H::Right: left = ol + ow - fw - kSideMargin; break;
        case H::LeftOfOwner: left = owner ? ol - fw : ol + kSideMargin; break;
        case H::RightOfOwner: left = owner ? ol + ow : ol + ow - fw - kSideMargin; break;
    }
    FormGeometry::Move(Frm, left, top);
    MessagePump::DoEvents();
}

void MouseMoveForm(QWidget* Frm, int button) {
    MessagePump::DoEvents();
    if (button != kLeftButton || Frm == nullptr) return;
    Screen* screen = Screen::Instance();
    const int saved = screen->MousePointer();
    screen->SetMousePointer(kMovePointer);
    // The window manager moves the window until the button is released.
    if (QWindow* w = Frm->window()->windowHandle()) w->startSystemMove();
    screen->SetMousePointer(saved);
}

}  // namespace modGlobalFunctions
