#include "app/form1.h"
#include "platform/events.h"
#include "platform/system_library.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  Platform::SearchDllsOnlyInTheSystemFolder();
  if (!Form1::Create(instance, show)) return 1;
  return Platform::RunMessageLoop();
}
