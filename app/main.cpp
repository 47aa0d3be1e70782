#include "app/form1.h"
#include "platform/events.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  if (!Form1::Create(instance, show)) return 1;
  return Platform::RunMessageLoop();
}
