// Builds small four-channel ProTracker modules in code for the replayer's tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct ModSample {
    std::vector<int8_t> data;
    int volume = 64;
    int finetune = 0;                  // -8..7
    int loopStart = 0, loopLength = 0; // bytes, even
};

struct ModBuilder {
    std::string title = "test";
    ModSample samples[32]; // 1-based
    std::vector<int> order = {0};
    int restart = 127;
    std::vector<uint8_t> patterns; // 1,024 bytes each
    const char* signature = "M.K.";

    void Cell(int pattern, int row, int channel, int sample, int period, int command = 0,
              int param = 0) {
        size_t need = size_t(pattern + 1) * 1024;
        if (patterns.size() < need) patterns.resize(need, 0);
        uint8_t* c = &patterns[size_t(pattern) * 1024 + size_t(row) * 16 + size_t(channel) * 4];
        c[0] = uint8_t((sample & 0xF0) | ((period >> 8) & 0x0F));
        c[1] = uint8_t(period);
        c[2] = uint8_t((sample & 0x0F) << 4 | (command & 0x0F));
        c[3] = uint8_t(param);
    }

    std::vector<uint8_t> Build() const {
        std::vector<uint8_t> m(1084, 0);
        std::memcpy(m.data(), title.data(), title.size() < 20 ? title.size() : 20);
        for (int n = 1; n <= 31; ++n) {
            uint8_t* h = &m[20 + size_t(n - 1) * 30];
            const ModSample& s = samples[n];
            unsigned words = unsigned(s.data.size() / 2);
            h[22] = uint8_t(words >> 8), h[23] = uint8_t(words);
            h[24] = uint8_t(s.finetune & 15);
            h[25] = uint8_t(s.volume);
            unsigned ls = unsigned(s.loopStart / 2),
                     ll = unsigned(s.loopLength ? s.loopLength / 2 : 1);
            h[26] = uint8_t(ls >> 8), h[27] = uint8_t(ls);
            h[28] = uint8_t(ll >> 8), h[29] = uint8_t(ll);
        }
        m[950] = uint8_t(order.size());
        m[951] = uint8_t(restart);
        int count = 0;
        for (size_t i = 0; i < order.size(); ++i) {
            m[952 + i] = uint8_t(order[i]);
            if (order[i] + 1 > count) count = order[i] + 1;
        }
        std::memcpy(&m[1080], signature, 4);
        std::vector<uint8_t> p = patterns;
        p.resize(size_t(count) * 1024, 0);
        m.insert(m.end(), p.begin(), p.end());
        for (int n = 1; n <= 31; ++n)
            for (int8_t v : samples[n].data)
                m.push_back(uint8_t(v));
        return m;
    }
};

// A square wave of the given period in bytes, looped whole.
inline ModSample SquareSample(int period, int cycles, int amplitude = 100, int volume = 64) {
    ModSample s;
    for (int c = 0; c < cycles; ++c)
        for (int i = 0; i < period; ++i)
            s.data.push_back(int8_t(i < period / 2 ? amplitude : -amplitude));
    s.volume = volume;
    s.loopStart = 0;
    s.loopLength = int(s.data.size());
    return s;
}
