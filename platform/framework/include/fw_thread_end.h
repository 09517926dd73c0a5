// Clean-up at the end of a thread.
//
// Objects a thread owns for its whole life (its window maps, its hooks, its OLE
// initialisation) are kept on the heap behind a plain thread_local pointer and handed to
// AtThreadEnd. A thread_local object with a destructor must not be used instead: this
// runtime releases a thread's thread_local storage before it runs those destructors, so
// they would read freed memory and free it again, which corrupts the heap at every thread's
// end.
#pragma once

namespace fwthread {

// Calls pfnCleanup(pObject) when the calling thread ends, the last registered first; for
// the main thread, when the process ends after the static objects were destroyed. The
// clean-up gets its object as the argument and must not rely on thread_local variables:
// on some threads their storage is gone by then (reading one gives a fresh zero value,
// writing one is harmless).
void AtThreadEnd(void (*pfnCleanup)(void*), void* pObject);

}  // namespace fwthread
