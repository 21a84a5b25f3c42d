// Shared by the model tests: a project read from text onto a form, and the
// install component as the install objects see it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "controls/cmp_TForm.h"
#include "model/cmp_TFileContainer.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ObjectText.h"

class TTestInstall : public IInstallRun {
 public:
  explicit TTestInstall(TFileContainer* C) : Container(C) { SetCurrentInstall(this); }
  ~TTestInstall() override { SetCurrentInstall(nullptr); }
  TFileContainer* Container;
  std::string Source = "C:\\Dist";
  std::map<char, std::string> Switches;
  TDistributeType Distribute = dtTraditional;
  bool Reboot = false;
  bool Running = false;
  std::vector<std::pair<std::string, int32_t>> Unfinished;

  TFileContainer* AsFileContainer() override { return Container; }
  std::string GetSourceDirectory() const override { return Source; }
  bool SwitchGiven(char S) const override { return Switches.count(S) > 0; }
  std::string SwitchValue(char S) const override {
    auto It = Switches.find(S);
    return It == Switches.end() ? "" : It->second;
  }
  TDistributeType GetDistributeType() const override { return Distribute; }
  std::string ProductName() const override { return "Test product"; }
  void SetRebootNeeded() override { Reboot = true; }
  bool Installing() const override { return Running; }
  void AddUnfinishedWork(const std::string& Name, int32_t Kind) override {
    Unfinished.emplace_back(Name, Kind);
  }
};

// A project root: a form read from text.
struct Project {
  TForm* Form = new TForm(nullptr);
  explicit Project(const std::string& Body) {
    TMemoryStream S(ObjectTextToBinary("object Form1: TForm\n" + Body + "end\n"));
    ReadRootComponent(S, Form);
  }
  ~Project() { delete Form; }
  template <class T = TInstallContainer>
  T* operator[](const char* Name) const {
    auto* C = dynamic_cast<T*>(Form->FindComponent(Name));
    EXPECT_NE(C, nullptr) << Name;
    return C;
  }
  template <class T>
  T* Get(const char* Name) const {
    return operator[]<T>(Name);
  }
};

// Replaces every "$NAME" in Text by its value.
inline std::string Substitute(std::string Text, const std::map<std::string, std::string>& Vars) {
  for (const auto& KV : Vars)
    for (size_t P; (P = Text.find("$" + KV.first)) != std::string::npos;)
      Text.replace(P, KV.first.size() + 1, KV.second);
  return Text;
}

// A file group "Main" that installs into Target from the archive
// Dir\build\files.1, with one install file per entry: component name,
// source file name (in Src), destination name.
struct TGroupFile {
  std::string Name, FileName, DestName;
};
inline std::string GroupProject(const std::string& Dir, const std::string& Target, const std::string& Src,
                                const std::vector<TGroupFile>& Files) {
  std::string Text = "  object Main: TInstallFileGroup\n    ArchiveFile = '" + Dir + "\\build\\files.1'\n" +
                     "    DestDir = '" + Target + "'\n  end\n";
  for (const TGroupFile& F : Files)
    Text += "  object " + F.Name + ": TInstallFile\n    Container = Main\n" +
            "    ArchiveFileType = psContainerArchiveFile\n    DestDirType = psContainerDestDir\n" +
            "    FileName = '" + F.FileName + "'\n    DestName = '" + F.DestName + "'\n" +
            "    IncludeFromDir = '" + Src + "'\n  end\n";
  return Text;
}

// Opens Path as a program that uses it does: without delete sharing, so
// that it cannot be replaced while open.
inline HANDLE HoldOpen(const std::string& Path) {
  return CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

