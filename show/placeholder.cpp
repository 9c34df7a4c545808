// Placeholder definitions so that everything links while the show is being built.
#include "show/show.h"
#include "show/texts.h"

uint16_t g_Scene = 1;
void Show_Frame() {}
void Scene_Run(uint16_t) {}
const char SCROLL_DEDICATION[] = "";
const char SCROLL_PAUSE[] = "   ";
const char SCROLL_SINE[] = "";
const char SCROLL_RETURN[] = "";
const char SCROLL_PART2[] = "";
WriterPage g_PageCredits;
WriterPage g_PageGreetings1;
WriterPage g_PageGreetings2;
WriterPage g_PageContact;
