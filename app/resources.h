#pragma once
// Resource numbers shared by the resource script and the program.

#define IDI_TOOFEL 1  // the application icon; Explorer shows the lowest-numbered one
