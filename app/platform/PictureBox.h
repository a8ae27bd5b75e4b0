#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

// A picture box drawn by code: clear, print at the current position, filled
// boxes.  Coordinates are in its scale: twips until ScaleWidth or ScaleHeight
// is set, then those user units.  Draw mode 10 (not-XOR pen) makes a filled
// box combine with what lies under it, so text under a bar stays readable;
// 13 (copy pen) paints over it.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCopyPen = 13;
    static constexpr int kNotXorPen = 10;

    explicit PictureBox(QWidget* parent = nullptr);

    double ScaleWidth() const;
    void SetScaleWidth(double units);
    double ScaleHeight() const;
    void SetScaleHeight(double units);

    int DrawMode() const { return m_drawMode; }
    void SetDrawMode(int mode) { m_drawMode = mode; }
    QColor ForeColor() const { return m_fore; }
    void SetForeColor(const QColor& c) { m_fore = c; }
    QColor BackColor() const { return m_back; }
    void SetBackColor(const QColor& c);

    double CurrentX() const { return m_x; }
    void SetCurrentX(double x) { m_x = x; }
    double CurrentY() const { return m_y; }
    void SetCurrentY(double y) { m_y = y; }

    double TextWidth(const QString& text) const;
    double TextHeight(const QString& text) const;

    void Cls();
    // Prints the text at the current position in the fore colour.
    void Print(const QString& text);
    // A box from (x1, y1) to (x2, y2) filled with the colour, in the draw mode.
    void FillBox(double x1, double y1, double x2, double y2, const QColor& color);

    // What the box shows, and the texts printed since the last Cls.
    const QImage& Image() const {
        EnsureImage();
        return m_image;
    }
    const QStringList& Printed() const { return m_printed; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The drawing follows the widget's size, shown or not; a new size
    // starts from a cleared picture.
    void EnsureImage() const;
    double ToPxX(double x) const;
    double ToPxY(double y) const;

    mutable QImage m_image;
    mutable QStringList m_printed;
    bool m_userX = false;
    bool m_userY = false;
    double m_scaleW = 0;
    double m_scaleH = 0;
    int m_drawMode = kCopyPen;
    QColor m_fore = Qt::black;
    QColor m_back = Qt::white;
    double m_x = 0;
    double m_y = 0;
};
