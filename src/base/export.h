#pragma once

// Exports a function from a module under its C name: a plug-in library's entry
// points, found by name when the library is loaded.
#ifdef _WIN32
#define ORV_EXPORT extern "C" __declspec(dllexport)
#else
#define ORV_EXPORT extern "C" __attribute__((visibility("default")))
#endif
