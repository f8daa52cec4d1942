#pragma once
// The system's Extended MAPI declarations, with wide strings.
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#include <windows.h>
#include <mapix.h>
