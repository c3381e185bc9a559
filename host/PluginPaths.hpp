#pragma once
// The directory that holds the plugin's own file, and paths relative to it.

// The plugin's directory, ending with its separator. Computed on the first call (with
// one error box if the plugin cannot identify its own module); the same string after.
const char* PluginDirectory();

// The plugin's directory followed by relative, in a buffer that each call overwrites.
// Null when the result would not fit in a path of 260 characters, or when the
// plugin's own file name was too long to be looked up whole.
const char* PluginFilePath(const char* relative);

// Cuts a module file name right after its last separator, backslash or slash,
// whichever is further right. A name with neither is left whole.
void CutAfterLastSeparator(char* name);

// The error box's text, caption and style.
inline constexpr const char* kPluginDirectoryErrorText = "FILESYSTEM\nFailed to retrieve plugin dir path";
inline constexpr const char* kPluginDirectoryErrorCaption = "quillon";
