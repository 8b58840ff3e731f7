// How long a WAV file plays, from its header. Only PCM RIFF/WAVE files are played; anything else
// is refused with a text saying why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace nodesim {

// Reads up to size bytes at offset into buffer; returns how many were read.
using ReadAt = std::function<std::size_t(std::uint64_t offset, void* buffer, std::size_t size)>;

// Throws Refusal (Node.h) for anything but a PCM RIFF/WAVE stream. A data chunk that claims more
// than the file holds plays for what is there.
std::uint64_t WaveDurationMs(const ReadAt& read, std::uint64_t fileSize);

// The same for a file; throws Refusal naming the file when it cannot be opened.
std::uint64_t WaveFileDurationMs(const std::wstring& path, const std::string& shownPath);

}  // namespace nodesim
