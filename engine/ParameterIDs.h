#pragma once

// The plug-in's parameter IDs, as hosts and saved states know them.
namespace ParameterIDs
{
    inline constexpr const char* referenceA = "referenceA";
    inline constexpr const char* mute = "mute";
}
