#pragma once

#include <QRect>
#include <QtMath>

// Window layouts are drawn in twips; at 96 dots per inch fifteen of them make a pixel.
constexpr double twipsPerPixel = 15.0;

inline int px(double twips) {
    return qRound(twips / twipsPerPixel);
}

inline QRect twipsRect(double left, double top, double width, double height) {
    return {px(left), px(top), px(width), px(height)};
}
