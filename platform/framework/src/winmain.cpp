// The entry point of every GUI program built on the framework (linked with -municode).
// It lives in an object file of its own: programs with their own main (test programs)
// never pull it in.
#include "framework.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow) {
  return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
