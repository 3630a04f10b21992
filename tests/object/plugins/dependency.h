#pragma once

#ifdef _WIN32
#define DEPENDENCY_API __declspec(dllexport)
#else
#define DEPENDENCY_API __attribute__((visibility("default")))
#endif

// The one function of the library the "load_fails" plug-in needs.
extern "C" DEPENDENCY_API int DependencyValue();
