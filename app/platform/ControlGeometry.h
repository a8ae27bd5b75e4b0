#pragma once

class QWidget;

// A control's place in its container, in twips, as forms read and set it.
// The window sits on whole pixels; the twips set last are kept with it and
// read back as long as the window has not been moved by other means, so
// that small steps add up as they do on a form.
class ControlGeometry {
public:
    static double Left(const QWidget* w);
    static double Top(const QWidget* w);
    static double Width(const QWidget* w);
    static double Height(const QWidget* w);
    static void Move(QWidget* w, double left, double top, double width, double height);
    static void SetLeft(QWidget* w, double left);
    static void SetTop(QWidget* w, double top);
    static void SetWidth(QWidget* w, double width);
    static void SetHeight(QWidget* w, double height);
};
