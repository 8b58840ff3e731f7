#include "WaveFile.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "Node.h"

namespace nodesim {

namespace {

std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

}  // namespace

std::uint64_t WaveDurationMs(const ReadAt& read, std::uint64_t fileSize) {
    unsigned char header[12];
    if (read(0, header, 12) != 12 || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "WAVE", 4) != 0) {
        throw Refusal("not a RIFF/WAVE file");
    }
    std::uint32_t byteRate = 0;
    bool haveFormat = false;
    std::uint64_t offset = 12;
    while (offset + 8 <= fileSize) {
        unsigned char chunk[8];
        if (read(offset, chunk, 8) != 8) {
            break;
        }
        const std::uint32_t size = Le32(chunk + 4);
        const std::uint64_t body = offset + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            unsigned char format[40] = {};
            const std::size_t want = std::min<std::size_t>(size, sizeof format);
            if (size < 16 || read(body, format, want) != want) {
                throw Refusal("a WAV file with a broken format chunk");
            }
            std::uint16_t tag = Le16(format);
            // WAVE_FORMAT_EXTENSIBLE carries the real format in its sub-format GUID, whose first
            // two bytes are the format tag.
            if (tag == kFormatExtensible && want >= 26) {
                tag = Le16(format + 24);
            }
            if (tag != kFormatPcm) {
                throw Refusal("not a PCM WAV file (format " + std::to_string(tag) + ")");
            }
            byteRate = Le32(format + 8);
            if (byteRate == 0) {
                throw Refusal("a WAV file with no byte rate");
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                throw Refusal("a WAV file whose data comes before its format");
            }
            const std::uint64_t present = std::min<std::uint64_t>(size, fileSize - body);
            return present * 1000 / byteRate;
        }
        // Chunks are padded to an even length.
        offset = body + size + (size & 1u);
    }
    throw Refusal(haveFormat ? "a WAV file without data" : "a WAV file without a format");
}

std::uint64_t WaveFileDurationMs(const std::wstring& path, const std::string& shownPath) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw Refusal("cannot open the WAV file " + shownPath);
    }
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    auto read = [file](std::uint64_t offset, void* buffer, std::size_t n) -> std::size_t {
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(offset);
        DWORD got = 0;
        if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) ||
            !ReadFile(file, buffer, static_cast<DWORD>(n), &got, nullptr)) {
            return 0;
        }
        return got;
    };
    try {
        const std::uint64_t ms = WaveDurationMs(read, static_cast<std::uint64_t>(size.QuadPart));
        CloseHandle(file);
        return ms;
    } catch (const Refusal& e) {
        CloseHandle(file);
        throw Refusal(shownPath + " is " + e.what());
    }
}

}  // namespace nodesim
