// qvarc: the archive engine from the command line.
//
//   qvarc list    ARCHIVE
//   qvarc extract ARCHIVE DIR [MEMBER...] [--overwrite always|never|version|date|versiondate]
//   qvarc create  ARCHIVE FILE... [--level none|fastest|default|max] [--append] [--id N]
//   qvarc verify  ARCHIVE
//   qvarc split   ARCHIVE DIR DISKSIZE [--name files.1]
//
// ARCHIVE may be a self-extracting setup program (*.exe, or --sfx): its
// trailer gives the files archive inside it (--setup-archive: the setup one).
// --offset N reads an archive that starts N bytes into the file.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "archive/cmp_TQrvnCompress.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

namespace {

struct TUsageError {
  std::string Text;
};

struct TArgs {
  std::string Command;
  std::vector<std::string> Plain;
  std::map<std::string, std::string> Options;
  bool Has(const std::string& O) const { return Options.count(O) != 0; }
};

TArgs ParseArgs(int argc, char** argv) {
  static const std::map<std::string, bool> Known = {{"--overwrite", true}, {"--level", true},
                                                    {"--append", false},   {"--id", true},
                                                    {"--name", true},      {"--offset", true},
                                                    {"--sfx", false},      {"--setup-archive", false}};
  TArgs A;
  if (argc < 2) throw TUsageError{"no command"};
  A.Command = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string S = argv[i];
    if (S.rfind("--", 0) == 0) {
      auto K = Known.find(S);
      if (K == Known.end()) throw TUsageError{"unknown option " + S};
      if (K->second) {
        if (i + 1 >= argc) throw TUsageError{S + " needs a value"};
        A.Options[S] = argv[++i];
      } else {
        A.Options[S] = "";
      }
    } else {
      A.Plain.push_back(S);
    }
  }
  return A;
}

int32_t NumberArg(const std::string& What, const std::string& S) {
  int32_t V;
  if (!TryStrToInt(S, V) || V < 0) throw TUsageError{What + " must be a number: " + S};
  return V;
}

template <class E>
E EnumArg(const std::string& What, const std::string& S, const std::map<std::string, E>& Names) {
  auto It = Names.find(LowerCase(S));
  if (It == Names.end()) throw TUsageError{"unknown " + What + ": " + S};
  return It->second;
}

// Points the engine at ARCHIVE, finding the embedded archive of a
// self-extracting file through its trailer.
void OpenArchive(TQrvnCompress& C, const TArgs& A, const std::string& Archive) {
  C.SetCompressedFile(Archive);
  if (A.Has("--offset")) {
    C.SetOffset(NumberArg("--offset", A.Options.at("--offset")));
    return;
  }
  if (!(A.Has("--sfx") || A.Has("--setup-archive") || SameText(ExtractFileExt(Archive), ".exe"))) return;
  auto F = TFileStream::TryOpen(Archive, TFileMode::fmOpenRead);
  if (!F) throw EQrvnCompress(Format("Cannot open the compressed file %s", Archive));
  TSelfExtractTrailer T;
  if (!ReadSelfExtractTrailer(*F, T)) throw EQrvnCompress(Format("%s has no valid self-extracting trailer", Archive));
  if (A.Has("--setup-archive")) {
    C.SetOffset(T.SetupStart);
  } else {
    if (T.FilesStart == 0) throw EQrvnCompress(Format("%s carries no files archive", Archive));
    C.SetOffset(T.FilesStart);
  }
}

std::string DateText(double D) {
  const TCalendarTime T = DecodeDayCount(D);
  char B[32];
  std::snprintf(B, sizeof B, "%04d-%02d-%02d %02d:%02d:%02d", T.Year, T.Month, T.Day, T.Hour, T.Minute, T.Second);
  return B;
}

std::string DisksText(const TFileHeaderRecord& R) {
  if (R.StartDisk == 0 && R.EndDisk == 0) return "-";
  return std::to_string(R.StartDisk) + "-" + std::to_string(R.EndDisk);
}

int List(const TArgs& A) {
  if (A.Plain.size() != 1) throw TUsageError{"list takes one archive"};
  TQrvnCompress C(nullptr);
  OpenArchive(C, A, FromNativePath(A.Plain[0]));
  const int N = C.FileCount();
  std::printf("%10s %10s %19s %-20s %5s %5s  %s\n", "size", "packed", "date", "version", "id", "disks", "name");
  for (int i = 0; i < N; ++i) {
    const TFileHeaderRecord& R = C.Headers().GetFileHeaders(i).Rec;
    std::printf("%10d %10d %19s %-20s %5d %5s  %s\n", R.FileSize, R.CompressedSize, DateText(R.FileDate).c_str(),
                R.Version.c_str(), R.FileId, DisksText(R).c_str(), R.FileName.c_str());
  }
  std::printf("%d member(s)%s\n", N, C.Headers().MultiDisk() ? ", disk set" : "");
  return 0;
}

// A member by its stored name, or by its file name when that is unique.
std::string FindMember(TQrvnCompress& C, const std::string& Wanted) {
  if (C.Headers().IndexOfName(Wanted) >= 0) return Wanted;
  std::string Found;
  for (int i = 0; i < C.FileCount(); ++i) {
    const std::string& N = C.Headers().GetFileHeaders(i).Rec.FileName;
    if (!SameText(ExtractFileName(N), Wanted)) continue;
    if (!Found.empty() && !SameText(Found, N)) throw EQrvnCompress(Format("%s names more than one member", Wanted));
    Found = N;
  }
  return Found.empty() ? Wanted : Found;
}

int Extract(const TArgs& A) {
  if (A.Plain.size() < 2) throw TUsageError{"extract takes an archive and a folder"};
  TQrvnCompress C(nullptr);
  OpenArchive(C, A, FromNativePath(A.Plain[0]));
  if (A.Has("--overwrite"))
    C.SetOverwrite(EnumArg<TOverwriteType>("overwrite mode", A.Options.at("--overwrite"),
                                           {{"always", owAlways}, {"never", owNever}, {"version", owVersion},
                                            {"date", owDate}, {"versiondate", owVersionDate}}));
  TStrings Names;
  if (A.Plain.size() == 2) {
    for (int i = 0; i < C.FileCount(); ++i) Names.Add(C.Headers().GetFileHeaders(i).Rec.FileName);
  } else {
    for (size_t i = 2; i < A.Plain.size(); ++i) Names.Add(FindMember(C, A.Plain[i]));
  }
  C.SetFilesToProcess(Names);
  C.SetExtractDirectory(FromNativePath(A.Plain[1]));
  int Done = 0;
  C.OnStatus = [&](TQrvnCompress*, const TlzhFileStats& S) {
    if (S.FileFinished) ++Done;
  };
  C.OnNewDisk = [](TQrvnCompress*, int Disk, std::string& Path) {
    std::fprintf(stderr, "qvarc: disk %d is not in %s\n", Disk, Path.c_str());
  };
  const int Wanted = Names.Count();
  C.ExtractFiles();
  std::printf("%d of %d member(s) done\n", Done, Wanted);
  return 0;
}

int Create(const TArgs& A) {
  if (A.Plain.size() < 2) throw TUsageError{"create takes an archive and at least one file"};
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(FromNativePath(A.Plain[0]));
  if (A.Has("--level"))
    C.SetCompressionLevel(EnumArg<TCompressionLevel>(
        "level", A.Options.at("--level"),
        {{"none", colNone}, {"fastest", colFastest}, {"default", colDefault}, {"max", colMax}}));
  TStrings Files;
  for (size_t i = 1; i < A.Plain.size(); ++i) Files.Add(FromNativePath(A.Plain[i]));
  C.SetFilesToProcess(Files);
  const int Id = A.Has("--id") ? NumberArg("--id", A.Options.at("--id")) : 0;
  C.CompressFiles(A.Has("--append"), Id);
  std::printf("%d member(s) in %s\n", C.FileCount(), C.CompressedFile().c_str());
  return 0;
}

// Every member is inflated (into a scratch folder, then removed): the
// engine checks the zlib stream, its checksum and the size.
int Verify(const TArgs& A) {
  if (A.Plain.size() != 1) throw TUsageError{"verify takes one archive"};
  TQrvnCompress C(nullptr);
  OpenArchive(C, A, FromNativePath(A.Plain[0]));
  const std::string Scratch = CreateTempFileName("qva");
  if (Scratch.empty() || !ForceDirectories(Scratch)) throw EQrvnCompress("Cannot create a scratch folder");
  int Bad = 0;
  const int N = C.FileCount();
  for (int i = 0; i < N; ++i) {
    const std::string Name = C.Headers().GetFileHeaders(i).Rec.FileName;
    const std::string Out = "member" + std::to_string(i);
    try {
      // Only the member at this index: a duplicate name would find the first.
      if (C.Headers().IndexOfName(Name) != i) {
        std::printf("skipped  %s (a duplicate name; the first one is used)\n", Name.c_str());
        continue;
      }
      TStrings L;
      L.Add(Name);
      C.SetFilesToProcess(L);
      C.SetExtractDirectory(Scratch);
      C.ExtractName = Out;
      C.ExtractFiles();
      std::printf("ok       %s\n", Name.c_str());
    } catch (const Exception& E) {
      ++Bad;
      std::printf("FAILED   %s: %s\n", Name.c_str(), E.what());
    }
    RemoveFile(AddBackslash(Scratch) + Out);
  }
  RemoveDir(Scratch);
  std::printf("%d member(s), %d bad\n", N, Bad);
  return Bad ? 1 : 0;
}

int Split(const TArgs& A) {
  if (A.Plain.size() != 3) throw TUsageError{"split takes an archive, a folder and a disk size"};
  TQrvnCompress C(nullptr);
  OpenArchive(C, A, FromNativePath(A.Plain[0]));
  const int32_t DiskSize = NumberArg("disk size", A.Plain[2]);
  // Every chunk of 8,192 bytes must fit on a fresh disk.
  if (DiskSize < 16384) throw TUsageError{"disk size must be at least 16384 bytes"};
  C.DiskCapacity = DiskSize;
  int Disks = 1;
  C.OnNewDisk = [&](TQrvnCompress*, int Disk, std::string&) { Disks = Disk; };  // the next file, same folder
  const std::string Name = A.Has("--name") ? A.Options.at("--name") : "files.1";
  C.SplitToDisks(FromNativePath(A.Plain[1]), Name);
  std::printf("%d member(s) on %d disk(s)\n", C.Headers().Count(), Disks);
  return 0;
}

void Usage() {
  std::fputs(
      "usage: qvarc list    ARCHIVE\n"
      "       qvarc extract ARCHIVE DIR [MEMBER...] [--overwrite always|never|version|date|versiondate]\n"
      "       qvarc create  ARCHIVE FILE... [--level none|fastest|default|max] [--append] [--id N]\n"
      "       qvarc verify  ARCHIVE\n"
      "       qvarc split   ARCHIVE DIR DISKSIZE [--name files.1]\n"
      "ARCHIVE options: --offset N, --sfx (files archive of a setup .exe), --setup-archive\n",
      stderr);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const TArgs A = ParseArgs(argc, argv);
    if (A.Command == "list") return List(A);
    if (A.Command == "extract") return Extract(A);
    if (A.Command == "create") return Create(A);
    if (A.Command == "verify") return Verify(A);
    if (A.Command == "split") return Split(A);
    throw TUsageError{"unknown command " + A.Command};
  } catch (const TUsageError& U) {
    std::fprintf(stderr, "qvarc: %s\n", U.Text.c_str());
    Usage();
    return 2;
  } catch (const std::exception& E) {
    std::fprintf(stderr, "qvarc: %s\n", E.what());
    return 1;
  }
}
