#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_graphics/juce_graphics.h>

#include <cmath>

// A few APIs that newer JUCE versions have and JUCE 7.0.5 lacks. Where the JUCE in use
// has them, these names are JUCE's own; otherwise they give the same behaviour here.
namespace compat
{

//==============================================================================
#if JUCE_VERSION >= 0x80000
using FontOptions = juce::FontOptions;

inline juce::Font makeFont (const FontOptions& options) { return juce::Font (options); }
#else
/** Only the height: the default typeface in plain style. */
class FontOptions
{
public:
    explicit FontOptions (float heightToUse) noexcept : height (heightToUse) {}

    float getHeight() const noexcept { return height; }

private:
    float height;
};

inline juce::Font makeFont (const FontOptions& options) { return juce::Font (options.getHeight(), juce::Font::plain); }
#endif

//==============================================================================
/** Waits on the thread's own event for up to the given time; notify() or stopThread() end it early. */
inline bool waitOnThreadEvent (const juce::Thread& thread, double timeOutMilliseconds)
{
#if JUCE_VERSION >= 0x80000
    return thread.wait (timeOutMilliseconds);
#else
    return thread.wait ((int) std::ceil (timeOutMilliseconds));
#endif
}

//==============================================================================
#if JUCE_VERSION >= 0x70006
using AAXClientExtensions = juce::AAXClientExtensions;
 #define COMPAT_AAX_CLIENT_EXTENSIONS_OVERRIDE override
#else
/** The part of JUCE's AAX extension interface that this plug-in provides. JUCE 7.0.5 has no
    such interface, so nothing in its wrappers asks for it. */
struct AAXClientExtensions
{
    virtual ~AAXClientExtensions() = default;

    virtual juce::String getPageFileName() const { return {}; }
};
 #define COMPAT_AAX_CLIENT_EXTENSIONS_OVERRIDE
#endif

} // namespace compat
