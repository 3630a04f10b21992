#pragma once

// Gives this test program a registry of its own, so that tests never touch the
// user's settings: on POSIX an empty registry folder for the run (programs it
// starts inherit it), removed at exit; under Wine the prefix in the build
// folder already is the tests' own.
void UseTemporaryRegistry();
