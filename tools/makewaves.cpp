// Writes the five short wave files the program plays: Click, Open, Close, Highalert and
// Lowalert. 8 kHz, 16-bit mono PCM, made from sine tones with a soft envelope, so the
// project ships no sound it did not make itself.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 8000;
constexpr double kPi = 3.14159265358979323846;

struct Tone
{
    double frequency; // Hz; 0 is silence
    double seconds;
};

void put16(std::vector<unsigned char> &out, std::uint16_t v)
{
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char> &out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}

bool writeWave(const std::string &path, const std::vector<Tone> &tones, double volume)
{
    std::vector<std::int16_t> samples;
    for (const Tone &tone : tones) {
        const int n = static_cast<int>(tone.seconds * kRate);
        for (int i = 0; i < n; ++i) {
            // 5 ms attack and release keep the edges from clicking.
            const double t = static_cast<double>(i) / kRate;
            const double edge = std::min({1.0, t / 0.005, (tone.seconds - t) / 0.005});
            const double s = tone.frequency > 0 ? std::sin(2 * kPi * tone.frequency * t) : 0.0;
            samples.push_back(static_cast<std::int16_t>(s * edge * volume * 32767));
        }
    }
    std::vector<unsigned char> out;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    for (char c : std::string("RIFF"))
        out.push_back(static_cast<unsigned char>(c));
    put32(out, 36 + dataBytes);
    for (char c : std::string("WAVEfmt "))
        out.push_back(static_cast<unsigned char>(c));
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, kRate);
    put32(out, kRate * 2);
    put16(out, 2);
    put16(out, 16);
    for (char c : std::string("data"))
        out.push_back(static_cast<unsigned char>(c));
    put32(out, dataBytes);
    for (std::int16_t s : samples)
        put16(out, static_cast<std::uint16_t>(s));

    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makewaves OUTPUT-FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    const bool ok = writeWave(dir + "/Click.wav", {{1800, 0.015}}, 0.4) &&
                    writeWave(dir + "/Open.wav", {{523, 0.06}, {659, 0.06}, {784, 0.08}}, 0.35) &&
                    writeWave(dir + "/Close.wav", {{784, 0.06}, {659, 0.06}, {523, 0.08}}, 0.35) &&
                    writeWave(dir + "/Highalert.wav", {{880, 0.12}, {0, 0.05}, {1175, 0.2}}, 0.5) &&
                    writeWave(dir + "/Lowalert.wav", {{440, 0.12}, {0, 0.05}, {330, 0.2}}, 0.5);
    if (!ok) {
        std::fprintf(stderr, "makewaves: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
