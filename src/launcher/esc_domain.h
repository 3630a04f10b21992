#pragma once

// Lists the launcher in the current user's enhanced-security zone map of the
// browser control (Windows) for the length of the run, and removes the listing
// again.
// Both return false and raise nothing; a listing that cannot be written or
// removed is left as it is.
bool RegisterEscDomain();
bool UnregisterEscDomain();
