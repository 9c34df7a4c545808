// Scroller texts and writer pages (show/texts.cpp).
#pragma once

#include "effects/writer.h"

extern const char SCROLL_DEDICATION[];
extern const char SCROLL_PAUSE[];
extern const char SCROLL_SINE[];
extern const char SCROLL_RETURN[];
extern const char SCROLL_PART2[];
extern WriterPage g_PageCredits;
extern WriterPage g_PageGreetings1;
extern WriterPage g_PageGreetings2;
extern WriterPage g_PageContact;
