// Gamma fade: the whole picture is scaled through the display's gamma ramp.
#include "display/gamma.h"

#include "show/show.h"

float g_FadeLevel = 0;

void Gamma_SetLevel(int32_t level) {
    // Without a gamma control the fades have no visible effect; their timing stays.
    if (!g_pGammaControl) return;
    DDGAMMARAMP ramp;
    for (int i = 0; i < 256; ++i) {
        WORD v = static_cast<WORD>(static_cast<uint32_t>(i * level));
        ramp.red[i] = v;
        ramp.green[i] = v;
        ramp.blue[i] = v;
    }
    g_pGammaControl->SetGammaRamp(0, &ramp);
}

void Fade_In() {
    Gamma_SetLevel(static_cast<int32_t>(g_FadeLevel));
    float level = g_FadeLevel + FADE_STEP;
    g_FadeLevel = level;
    if (level > 256.0f) {
        ++g_Scene;
        g_FadeLevel = 256.0f;
    }
}

void Fade_Out() {
    Gamma_SetLevel(static_cast<int32_t>(g_FadeLevel));
    float level = g_FadeLevel - FADE_STEP;
    g_FadeLevel = level;
    if (level < 0.0f) {
        ++g_Scene;
        g_FadeLevel = 0.0f;
    }
}
