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

// The calling thread's own object of type T: made on first use by Get, deleted when the
// thread ends. One per thread and type; Find gives null when the thread has none.
template <class T>
class ThreadOwned {
 public:
  static T& Get() {
    if (s_pObject == nullptr) {
      s_pObject = new T();
      AtThreadEnd(&Delete, s_pObject);
    }
    return *s_pObject;
  }
  static T* Find() { return s_pObject; }

 private:
  static void Delete(void* pObject) {
    delete static_cast<T*>(pObject);
    if (s_pObject == pObject) s_pObject = nullptr;
  }
  static thread_local T* s_pObject;
};

template <class T>
thread_local T* ThreadOwned<T>::s_pObject = nullptr;

}  // namespace fwthread
