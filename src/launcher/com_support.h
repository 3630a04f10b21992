#pragma once

#include <cstdint>

// COM and OLE on the calling thread, apartment-threaded, for the browser and
// its objects (Windows). The record of the initialisation is an object in the
// thread slot "TID_ComSupport::Initializer"; releasing it balances the
// initialisation.

// Initialises COM unless the slot holds a record already; a failure is the
// internal error "coinit(%d) err %08x".
void EnsureComInitialized();

// Empties the slot, which releases the record.
void ReleaseComInitialization();

namespace ComSupport {
// OleInitialize for an apartment of the given flags, and its balancing
// OleUninitialize.
int32_t PlatformInitialize(uint32_t flags);
void PlatformUninitialize();
}  // namespace ComSupport
