#include "host/Files.h"

#include "platform/File.h"

namespace host {

namespace {

constexpr std::size_t RecordHeaderBytes = 12;
constexpr std::uint16_t ByteArrayTag = 0x2011;

std::uint32_t LE(const std::uint8_t* p, std::size_t n) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < n; ++i) v |= std::uint32_t{p[i]} << (8 * i);
  return v;
}

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t v, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

bool FileExists(const std::string& path) {
  return platform::IsRegularFile(path);
}

bool CreateEmptyFile(const std::string& path, std::string* error) {
  return platform::CreateEmptyFile(path, error);
}

const std::uint8_t* ByteArrayRecord(const std::uint8_t* data, std::size_t size,
                                    std::size_t& contentSize) {
  contentSize = 0;
  if (data == nullptr || size < RecordHeaderBytes) return nullptr;
  if (LE(data, 2) != ByteArrayTag || LE(data + 2, 2) != 1 || LE(data + 8, 4) != 0) return nullptr;
  std::uint32_t count = LE(data + 4, 4);
  if (count > size - RecordHeaderBytes) return nullptr;
  contentSize = count;
  return data + RecordHeaderBytes;
}

std::vector<std::uint8_t> MakeByteArrayRecord(const std::vector<std::uint8_t>& content) {
  std::vector<std::uint8_t> record;
  record.reserve(RecordHeaderBytes + content.size());
  PutLE(record, ByteArrayTag, 2);
  PutLE(record, 1, 2);
  PutLE(record, static_cast<std::uint32_t>(content.size()), 4);
  PutLE(record, 0, 4);
  record.insert(record.end(), content.begin(), content.end());
  return record;
}

bool ReadByteArrayFile(const std::string& path, std::vector<std::uint8_t>& content) {
  content.clear();
  std::vector<std::uint8_t> bytes;
  if (!platform::ReadWholeFile(path, bytes)) return false;
  std::size_t size = 0;
  const std::uint8_t* start = ByteArrayRecord(bytes.data(), bytes.size(), size);
  if (start == nullptr) return false;
  content.assign(start, start + size);
  return true;
}

}  // namespace host
