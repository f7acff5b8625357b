#include "ish_encoder.h"

#include <algorithm>
#include <cstring>

#include "ish_block.h"
#include "ish_crc.h"
#include "ish_line.h"

namespace zv::ish {

void appendBody(const Header& h, const uint8_t* data, size_t size,
                std::vector<std::string>& lines) {
  const TypeInfo& t = info(h.type);
  const int N = t.payload, B = t.record, L = t.width;
  uint8_t header[69];
  buildHeaderRecord(h, header);
  std::string headerLine;
  encodeLine(h.jis8Coded ? CodeType::Jis8 : CodeType::Jis7, header, headerLine);
  for (int i = 0; i < 3; ++i) lines.push_back(headerLine);

  uint16_t crc = crc16(data, size);
  auto streamByte = [&](size_t i) -> uint8_t {
    if (i < size) return data[i];
    if (i == size) return uint8_t(crc >> 8);
    if (i == size + 1) return uint8_t(crc);
    return 0;
  };
  const size_t D = dataLines(size, N);
  Block block(t);
  std::vector<uint8_t> record(static_cast<size_t>(B)), v(static_cast<size_t>(B)),
      hrec(static_cast<size_t>(B));
  for (size_t first = 0; first < D; first += size_t(N)) {
    int rows = int(std::min(size_t(N), D - first));
    for (int r = 1; r <= rows; ++r) {
      uint8_t* p = block.row(r);
      p[0] = uint8_t(r);
      size_t at = (first + size_t(r - 1)) * size_t(N);
      if (at + size_t(N) <= size) {
        std::memcpy(p + 1, data + at, size_t(N));
      } else {
        for (int c = 0; c < N; ++c) p[1 + c] = streamByte(at + size_t(c));
      }
    }
    block.fillAbsentRows(rows);
    block.computeChecks(v.data(), hrec.data());
    auto emit = [&](const uint8_t* bytes) {
      std::memcpy(record.data(), bytes, size_t(L));
      sealRecord(record.data(), B);
      std::string line;
      line.reserve(80);
      encodeLine(h.type, record.data(), line);
      lines.push_back(std::move(line));
    };
    for (int r = 1; r <= rows; ++r) emit(block.row(r));
    emit(v.data());
    emit(hrec.data());
  }
}

namespace {

std::string assemble(const std::vector<std::string>& body, const Header& h,
                     const EncodeOptions& o) {
  const std::string name = o.longName.empty() ? shortName(h) : o.longName;
  size_t content = body.size() + (o.commentLine ? 1 : 0);
  // Every 50th line is a title line, and one more ends the text.
  size_t total = content;
  if (o.titleLines) {
    size_t n = 0;
    for (size_t i = 0; i < content; ++i)
      if (++n % 50 == 0) ++n;
    total = n + 1;
  }
  std::string out;
  out.reserve(total * (80 + o.lineEnd.size()));
  size_t lineNo = 0;
  auto title = [&] {
    out += "--- " + name + " (" + std::to_string(lineNo) + "/" + std::to_string(total) + ") ---";
    out += o.lineEnd;
  };
  auto put = [&](const std::string& line) {
    ++lineNo;
    if (o.titleLines && lineNo % 50 == 0) {
      title();
      ++lineNo;
    }
    out += line;
    out += o.lineEnd;
  };
  if (o.commentLine) {
    std::string c = "<<< " + name + " for MS-DOS ( use " + std::string(info(h.type).commentWord) +
                    " ish ) [ " + std::to_string(total) + " lines ]";
    if (!o.tool.empty()) c += " " + o.tool;
    put(c + " >>>");
  }
  for (const auto& line : body) put(line);
  if (o.titleLines) {
    ++lineNo;
    title();
  }
  return out;
}

}  // namespace

std::string encodeText(Header h, const uint8_t* data, size_t size, const EncodeOptions& o) {
  h.volume = 0;
  h.size = uint32_t(size);
  std::vector<std::string> body;
  body.reserve(dataLines(size, info(h.type).payload) * 11 / 10 + 8);
  appendBody(h, data, size, body);
  return assemble(body, h, o);
}

std::vector<std::string> encodeVolumes(Header h, const uint8_t* data, size_t size,
                                       uint32_t volumeSize, const EncodeOptions& o) {
  std::vector<std::string> texts;
  if (volumeSize == 0) return texts;
  h.size = uint32_t(size);
  h.volumeSize = volumeSize;
  h.flags = uint8_t(h.flags | kFlagTime | kFlagZone | kFlagCrc16 | kFlagCrc32 | kFlagVolume);
  h.fileCrc16 = crc16(data, size);
  h.fileCrc32 = crc32(data, size);
  size_t count = std::max<size_t>(1, (size + volumeSize - 1) / volumeSize);
  for (size_t k = 0; k < count; ++k) {
    size_t from = k * volumeSize, len = std::min<size_t>(volumeSize, size - from);
    h.volume = uint8_t(k + 1);
    h.volumeCrc16 = crc16(data + from, len);
    std::vector<std::string> body;
    appendBody(h, data + from, len, body);
    texts.push_back(assemble(body, h, o));
  }
  return texts;
}

}  // namespace zv::ish
