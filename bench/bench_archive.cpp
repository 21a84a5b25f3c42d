// Throughput of the archive engine beside a plain zlib loop with the same
// level and buffer sizes, on generated data (half text-like, half random).
//   bench_archive [MEGABYTES]     (default 32)
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "archive/cmp_TQrvnCompress.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

namespace {

double Seconds(const std::function<void()>& F) {
  const auto T0 = std::chrono::steady_clock::now();
  F();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - T0).count();
}

void MakeData(const std::string& Name, size_t Size, uint32_t Seed) {
  std::mt19937 R(Seed);
  static const char Words[] = "setup archive member disk version install program files ";
  TFileStream F(Name, TFileMode::fmCreate);
  std::string Block;
  while (Size > 0) {
    Block.clear();
    const bool Text = R() % 2;
    for (size_t i = 0; i < 65536; ++i) Block += Text ? Words[R() % (sizeof Words - 1)] : static_cast<char>(R());
    const size_t N = std::min(Size, Block.size());
    F.WriteBuffer(Block.data(), N);
    Size -= N;
  }
}

void Check(int R) {
  if (R < 0) {
    std::fprintf(stderr, "zlib error %d\n", R);
    std::exit(1);
  }
}

// Plain deflate: 61,440-byte reads, 65,536-byte output buffer.
void PlainDeflate(const std::string& In, const std::string& Out, int Level) {
  TFileStream I(In, TFileMode::fmOpenRead), O(Out, TFileMode::fmCreate);
  z_stream Z{};
  Check(deflateInit(&Z, Level));
  std::vector<uint8_t> Src(61440), Dst(65536);
  int Flush = Z_NO_FLUSH;
  do {
    const size_t N = I.Read(Src.data(), Src.size());
    Flush = N == 0 ? Z_FINISH : Z_NO_FLUSH;
    Z.next_in = Src.data();
    Z.avail_in = static_cast<uInt>(N);
    do {
      Z.next_out = Dst.data();
      Z.avail_out = static_cast<uInt>(Dst.size());
      Check(deflate(&Z, Flush));
      O.WriteBuffer(Dst.data(), Dst.size() - Z.avail_out);
    } while (Z.avail_out == 0);
  } while (Flush != Z_FINISH);
  deflateEnd(&Z);
}

// Plain inflate: 65,536-byte reads, 4,096-byte output buffer.
void PlainInflate(const std::string& In, const std::string& Out) {
  TFileStream I(In, TFileMode::fmOpenRead), O(Out, TFileMode::fmCreate);
  z_stream Z{};
  Check(inflateInit(&Z));
  std::vector<uint8_t> Src(65536), Dst(4096);
  int R = Z_OK;
  while (R != Z_STREAM_END) {
    const size_t N = I.Read(Src.data(), Src.size());
    if (N == 0) break;
    Z.next_in = Src.data();
    Z.avail_in = static_cast<uInt>(N);
    while (Z.avail_in > 0 && R != Z_STREAM_END) {
      Z.next_out = Dst.data();
      Z.avail_out = static_cast<uInt>(Dst.size());
      Check(R = inflate(&Z, Z_NO_FLUSH));
      O.WriteBuffer(Dst.data(), Dst.size() - Z.avail_out);
    }
  }
  inflateEnd(&Z);
}

void PlainCopy(const std::string& In, const std::string& Out) {
  TFileStream I(In, TFileMode::fmOpenRead), O(Out, TFileMode::fmCreate);
  uint8_t B[8192];
  for (size_t N; (N = I.Read(B, sizeof B)) > 0;) O.WriteBuffer(B, N);
}

void Row(const char* What, double Bytes, double Engine, double Plain) {
  const double MB = Bytes / (1024.0 * 1024.0);
  std::printf("%-22s %9.1f MB/s %9.1f MB/s %7.0f%%\n", What, MB / Engine, MB / Plain, 100.0 * Plain / Engine);
}

}  // namespace

int main(int argc, char** argv) {
  const size_t MB = argc > 1 ? static_cast<size_t>(std::atoi(argv[1])) : 32;
  const std::string Dir = CreateTempFileName("qvb") + ".d";
  ForceDirectories(Dir);
  auto P = [&](const std::string& N) { return AddBackslash(Dir) + N; };
  const int Files = 4;
  const size_t Each = MB * 1024 * 1024 / Files;
  std::vector<std::string> Src;
  for (int i = 0; i < Files; ++i) {
    Src.push_back(P("src" + std::to_string(i) + ".bin"));
    MakeData(Src.back(), Each, 100 + i);
  }
  const double Total = static_cast<double>(Each) * Files;
  std::printf("%zu MB in %d files; engine beside a plain zlib loop (same level and buffers)\n", MB, Files);
  std::printf("%-22s %14s %14s %8s\n", "", "engine", "plain zlib", "engine %");

  TQrvnCompress C(nullptr);
  const struct {
    TCompressionLevel Level;
    const char* Name;
  } Levels[] = {{colNone, "compress colNone"}, {colFastest, "compress colFastest"},
                {colDefault, "compress colDefault"}, {colMax, "compress colMax"}};
  for (const auto& L : Levels) {
    C.SetCompressedFile(P(std::string("a") + std::to_string(L.Level) + ".1"));
    C.SetCompressionLevel(L.Level);
    TStrings List;
    for (const auto& S : Src) List.Add(S);
    C.SetFilesToProcess(List);
    const double E = Seconds([&] { C.CompressFiles(false, 0); });
    const double Pl = Seconds([&] {
      for (int i = 0; i < Files; ++i) PlainDeflate(Src[i], P("plain" + std::to_string(i) + ".z"), ZlibLevel(L.Level));
    });
    Row(L.Name, Total, E, Pl);
  }

  // Extract the colDefault archive; the plain loop inflates the same streams,
  // written out as files of their own.
  C.SetCompressedFile(P(std::string("a") + std::to_string(colDefault) + ".1"));
  for (int i = 0; i < Files; ++i) PlainDeflate(Src[i], P("plain" + std::to_string(i) + ".z"), Z_DEFAULT_COMPRESSION);
  const double E = Seconds([&] {
    TStrings List;
    for (const auto& S : Src) List.Add(S);
    C.SetFilesToProcess(List);
    C.SetExtractDirectory(P("out"));
    C.ExtractFiles();
  });
  const double Pl = Seconds([&] {
    for (int i = 0; i < Files; ++i) PlainInflate(P("plain" + std::to_string(i) + ".z"), P("plainout" + std::to_string(i)));
  });
  Row("extract", Total, E, Pl);

  // Split the colNone archive onto 1.44 MB disks; plain: the same bytes copied.
  C.SetCompressedFile(P(std::string("a") + std::to_string(colNone) + ".1"));
  C.DiskCapacity = 1457664;
  C.OnNewDisk = [](TQrvnCompress*, int, std::string&) {};
  const double Archive = static_cast<double>(FileSizeByName(C.CompressedFile()));
  const double ES = Seconds([&] { C.SplitToDisks(P("disks"), "files.1"); });
  const std::string ArchiveName = C.CompressedFile();
  const double PS = Seconds([&] { PlainCopy(ArchiveName, P("plaincopy.1")); });
  Row("split (1.44 MB disks)", Archive, ES, PS);

  const double EC = Seconds([&] {
    for (int i = 0; i < Files; ++i) C.CopyUncompressed(Src[i], P("copy" + std::to_string(i)));
  });
  const double PC = Seconds([&] {
    for (int i = 0; i < Files; ++i) PlainCopy(Src[i], P("plaincopy" + std::to_string(i)));
  });
  Row("copy uncompressed", Total, EC, PC);

  // Everything made here has a known name.
  for (int i = 0; i < Files; ++i) {
    const std::string N = std::to_string(i);
    for (const std::string& F : {Src[i], P("plain" + N + ".z"), P("plainout" + N), P("copy" + N),
                                 P("plaincopy" + N), AddBackslash(P("out")) + ExtractFileName(Src[i]),
                                 P("a" + N + ".1")})
      RemoveFile(F);
  }
  for (int D = 1; RemoveFile(AddBackslash(P("disks")) + "files." + std::to_string(D)); ++D) {
  }
  RemoveFile(P("plaincopy.1"));
  RemoveDir(P("disks"));
  RemoveDir(P("out"));
  RemoveDir(Dir);
  return 0;
}
