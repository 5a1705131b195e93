#pragma once

#include <cstdint>
#include <span>

#include <QIcon>
#include <QStringView>

// The toolbar's pictures as premultiplied ARGB32 pixels, made from
// icons/*.svg when the program is built (icons/embed_pixels.cpp). Pixels
// need no image reader: reading even one PNG loads Qt's image plugins.
struct ToolbarPixels {
    const char* name; // "save", "print", ...
    int size;         // width and height
    const uint32_t* argb;
};

std::span<const ToolbarPixels> ToolbarPictures();

// The named picture at both sizes; empty for an unknown name.
QIcon ToolbarIcon(QStringView name);
