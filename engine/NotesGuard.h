// Closing Notes objects where a failure must not escape: on the way out of another failure,
// and when ending the session or a database that may already be gone.
#pragma once

template <class T>
void CloseQuietly(T& object) noexcept {
  try {
    object.Close();
  } catch (...) {
    // The library only throws status codes; there is nothing left to release.
  }
}
