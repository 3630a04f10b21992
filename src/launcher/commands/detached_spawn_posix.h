#pragma once

// Starts the program in a session of its own, so it outlives the launcher and
// its terminal; the main loop reaps it when it ends. `search_path` looks the
// program up on PATH. Answers 0, or the errno of the failure (a program that
// is missing or may not run fails here, not in the child).
int SpawnDetached(const char* program, char* const argv[], bool search_path);
