// The audio output backend the library plays through: one stereo 16-bit stream, filled from a
// callback on the backend's own thread.
#pragma once

#include <cstddef>
#include <cstdint>

typedef void (*Audio_Fill)(void* user, int16_t* out, size_t frames);

// Opens the output paused. device -1 is the default output device, 0 renders into nothing.
bool Audio_Open(int device, unsigned rate, Audio_Fill fill, void* user);
void Audio_Start();
// Excludes the callback while the caller changes what it plays.
void Audio_Lock();
void Audio_Unlock();
// Stops and closes the output; safe when it is not open.
void Audio_Close();
