#pragma once

// Appends "<this plug-in's name> <event>" to the marks file (probe.h).
void Mark(const char* event);
