#pragma once

#include <string_view>

/** The MORVEK LABS wordmark: one line of SVG text filled with #B87333, compiled in from
    assets/. Its size counts the bytes of the text alone, no terminating zero. */
extern const std::string_view logoSvg;
