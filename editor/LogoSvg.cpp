#include "LogoSvg.h"

#include "DravelTunerAssets.h"

#include <cstddef>

// JUCE's binary-data step names the document after its file; this is the name the editor uses.
const std::string_view logoSvg { DravelTunerAssets::MorvekLabsWordmark_svg,
                                 (std::size_t) DravelTunerAssets::MorvekLabsWordmark_svgSize };
