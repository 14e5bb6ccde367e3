// A deterministic stand-in for libFuzzer's driver: runs LLVMFuzzerTestOneInput over every file of
// the corpus folders given, then over mutations of them (bytes flipped, inserted, removed,
// repeated, inputs cut short and spliced) drawn from a fixed seed, until -max_total_time=<s> or
// -runs=<n> is reached. The same arguments run the same inputs. A crash or a sanitizer report ends
// the process; the input that caused it is written to fuzz-crash-input first.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace
{

using tInput = std::vector<uint8_t>;

constexpr size_t LONGEST_INPUT = 1 << 17;

void ReadFolder(const std::string& folder, std::vector<tInput>& corpus)
{
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
    {
        std::fprintf(stderr, "cannot open corpus folder %s\n", folder.c_str());
        std::exit(2);
    }
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir))
    {
        const std::string path = folder + "/" + entry->d_name;
        struct stat status;
        if (stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        {
            names.push_back(path);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& path : names)
    {
        std::ifstream file(path, std::ios::binary);
        corpus.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
}

void Mutate(tInput& input, const std::vector<tInput>& corpus, std::mt19937& random)
{
    const int steps = 1 + int(random() % 4);
    for (int step = 0; step < steps; ++step)
    {
        const size_t size = input.size();
        switch (random() % 7)
        {
        case 0: // flip a bit
            if (size > 0)
            {
                input[random() % size] ^= uint8_t(1u << (random() % 8));
            }
            break;
        case 1: // set a byte to a value that matters to frames
        {
            static const uint8_t interesting[] = {0x00, 0x01, 0x02, 0x03, 0x05, 0x06, 0x07, 0x7F,
                                                  0x80, 0xE0, 0xE7, 0xF0, 0xF1, 0xF7, 0xF8, 0xFF};
            if (size > 0)
            {
                input[random() % size] = interesting[random() % sizeof interesting];
            }
            break;
        }
        case 2: // insert random bytes
        {
            const size_t at = size > 0 ? random() % (size + 1) : 0;
            const size_t count = 1 + random() % 8;
            for (size_t i = 0; i < count; ++i)
            {
                input.insert(input.begin() + long(at), uint8_t(random()));
            }
            break;
        }
        case 3: // remove bytes
            if (size > 0)
            {
                const size_t at = random() % size;
                const size_t count = std::min<size_t>(1 + random() % 8, size - at);
                input.erase(input.begin() + long(at), input.begin() + long(at + count));
            }
            break;
        case 4: // cut short
            if (size > 0)
            {
                input.resize(random() % size);
            }
            break;
        case 5: // repeat a stretch
            if (size > 0)
            {
                const size_t at = random() % size;
                const size_t count = std::min<size_t>(1 + random() % 64, size - at);
                tInput stretch(input.begin() + long(at), input.begin() + long(at + count));
                input.insert(input.end(), stretch.begin(), stretch.end());
            }
            break;
        default: // splice another input
            if (!corpus.empty())
            {
                const tInput& other = corpus[random() % corpus.size()];
                const size_t keep = size > 0 ? random() % (size + 1) : 0;
                input.resize(keep);
                const size_t from = other.empty() ? 0 : random() % other.size();
                input.insert(input.end(), other.begin() + long(from), other.end());
            }
            break;
        }
    }
    if (input.size() > LONGEST_INPUT)
    {
        input.resize(LONGEST_INPUT);
    }
}

const tInput* gCurrent = nullptr;

void WriteCurrentInput()
{
    if (gCurrent != nullptr)
    {
        std::ofstream out("fuzz-crash-input", std::ios::binary);
        out.write(reinterpret_cast<const char*>(gCurrent->data()), std::streamsize(gCurrent->size()));
    }
}

void Run(const tInput& input)
{
    gCurrent = &input;
    LLVMFuzzerTestOneInput(input.data(), input.size());
    gCurrent = nullptr;
}

} // namespace

extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize != nullptr)
    {
        LLVMFuzzerInitialize(&argc, &argv);
    }
    double seconds = 10;
    long runs = -1;
    std::vector<tInput> corpus;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strncmp(argv[i], "-max_total_time=", 16) == 0)
        {
            seconds = std::atof(argv[i] + 16);
        }
        else if (std::strncmp(argv[i], "-runs=", 6) == 0)
        {
            runs = std::atol(argv[i] + 6);
        }
        else if (argv[i][0] != '-')
        {
            ReadFolder(argv[i], corpus);
        }
    }
    if (__sanitizer_set_death_callback != nullptr)
    {
        __sanitizer_set_death_callback(WriteCurrentInput);
    }

    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&start]
    { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    long done = 0;
    for (const tInput& input : corpus)
    {
        Run(input);
        ++done;
    }
    Run(tInput());
    ++done;
    std::mt19937 random(0x4B564E65);
    while ((runs < 0 || done < runs) && elapsed() < seconds && !corpus.empty())
    {
        tInput input = corpus[random() % corpus.size()];
        Mutate(input, corpus, random);
        Run(input);
        ++done;
    }
    std::printf("%ld inputs (%zu from the corpus) in %.1f s, no failure\n", done, corpus.size(), elapsed());
    return 0;
}
