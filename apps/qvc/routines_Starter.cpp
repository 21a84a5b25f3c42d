#include "apps/qvc/routines_Starter.h"

#include <windows.h>

#include "apps/qvc/routines_ProjectCompiler.h"
#include "environment/routines_API.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_Strings.h"

namespace {

const char* const StarterProgram = "StarterProgram.exe";

const char* const Project = R"(// A starter project, made by "qvc --new".  It compiles, builds and installs
// as it is; change the names, add your files, and build again:
//
//   qvc project.dfm setup\Setup.exe --build --readme files\readme.txt
//
// makes setup\Setup.exe and the distribution in setup\dist (dist\setup.exe
// is the one to ship).  "qvc --catalogue" (docs/reference.txt in the
// sources) lists every class and property with what it is for.  Folders that do not
// start with a drive are relative to this file.
object Form1: TForm1
  // The main window behind the wizard; its caption is the setup's title.
  Caption = 'My Product Installation'
  ClientWidth = 640
  ClientHeight = 400
  Color = 8388608

  // The installation itself: the product, and where it goes by default
  // (the user may choose another folder).  Every file, group, key and link
  // below names it, or a group in it, as its Container.
  object Install1: TInstall
    DestDirType = psProgramFiles
    DestDir = '\My Product'
    GroupName = 'My Product'
    Description.Strings = (
      'The program, its read-me and the uninstaller.')
    Information.CompanyName = 'My Company'
    Information.ProductName = 'My Product'
    Information.Version = '1.0'
    // Cancel asks before the setup ends.
    OnUserAbort = ConfirmUserAbort
  end

  // One dialog manager per phase: the wizard's pages (welcome, licence,
  // read-me, folder, groups, progress, success or failure) belong to them.
  object BeforeInstallDialogs: TDialogManager
    Container = Install1
    ManagerType = dmBeforeInstall
  end
  object CopyDialogs: TDialogManager
    Container = Install1
    ManagerType = dmDuringCopyFiles
  end
  object ChangeDiskDialogs: TDialogManager
    Container = Install1
    ManagerType = dmChangeDisk
  end
  object GoodInstallDialogs: TDialogManager
    Container = Install1
    ManagerType = dmAfterGoodInstall
  end
  object BadInstallDialogs: TDialogManager
    Container = Install1
    ManagerType = dmAfterBadInstall
  end
  object RebootDialogs: TDialogManager
    Container = Install1
    ManagerType = dmReboot
  end

  // The program and its read-me, in the product's folder.
  object Program: TInstallFile
    Container = Install1
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    FileName = 'MyProduct.exe'
    DestName = 'MyProduct.exe'
    IncludeFromDir = 'files'
  end
  object ReadMe: TInstallFile
    Container = Install1
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    FileName = 'readme.txt'
    DestName = 'readme.txt'
    IncludeFromDir = 'files'
  end
  // The uninstaller: registered with Windows, it removes what the setup
  // installed.
  object Uninstaller: TUninstallEXE
    Container = Install1
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    FileName = 'uninstall.exe'
    DestName = 'uninstall.exe'
    IncludeFromDir = '@KIT@'
  end

  // A group the user may leave out, in the Docs folder of the product,
  // with every file of files\docs and its subfolders.
  object Documentation: TInstallFileGroup
    Container = Install1
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    DestDir = '\Docs'
    GroupName = 'Documentation'
    Description.Strings = (
      'The manual and its examples.')
  end
  object DocumentFiles: TInstallFolder
    Container = Documentation
    SourceDir = 'files\docs'
    Masks = '*.txt;*.ini'
    Exclude = '*.bak'
  end

  // A registry key of the user's, with the folder the product went to.
  object Settings: TInstallRegistry
    Container = Install1
    RootKey = hkCurrentUser
    Key = '\Software\My Company\My Product'
    Entries = <
      item
        Ident = 'InstallDir'
        Text = '%p'
        PathSpecifier = psMainInstall
      end>
  end

  // The product's folder in the Start menu, with links to the program and
  // to the uninstaller.
  object MainGroup: TMainLinkGroup
    Container = Install1
    DestDir = '\My Product'
  end
  object ProgramLink: TInstallMainLink
    ObjectLink = Program
    ObjectLocationType = psObjectLink
    LinkName = 'My Product.lnk'
  end
  object UninstallLink: TInstallMainLink
    ObjectLink = Uninstaller
    ObjectLocationType = psObjectLink
    LinkName = 'Remove My Product.lnk'
  end
end
)";

const char* const ReadMe =
    "My Product 1.0\r\n\r\nThis read-me is installed with the program and shown by the setup's read-me page.\r\n";
const char* const Manual = "My Product manual\r\n\r\nWhat the product does and how to use it.\r\n";
const char* const Example = "[Example]\r\nSetting=1\r\n";

void WriteText(const std::string& Name, const std::string& Text) {
  ForceDirectories(ExtractFileDir(Name));
  try {
    TFileStream S(Name, TFileMode::fmCreate);
    S.WriteBuffer(Text.data(), Text.size());
  } catch (const Exception& E) {
    throw ECompilerError(Format("Cannot write %s: %s", Name, E.Message()));
  }
}

}  // namespace

std::string StarterProjectText(const std::string& Kit) {
  std::string Text = Project;
  const size_t At = Text.find("@KIT@");
  Text.replace(At, 5, Kit);
  // In the file, the lines end as Windows editors end them.
  std::string Out;
  for (char C : Text) Out += C == '\n' ? std::string("\r\n") : std::string(1, C);
  return Out;
}

std::vector<std::string> WriteStarterProject(const std::string& Folder, const std::string& Compiler) {
  const std::string Dir = AddBackslash(Folder), ProjectFile = Dir + "project.dfm";
  if (FileExists(ProjectFile)) throw ECompilerError(Format("%s exists already; it is left as it is", ProjectFile));
  const std::string Kit = RemoveBackslash(ExtractFileDir(Compiler));
  const std::string Program = AddBackslash(Kit) + StarterProgram;
  if (!FileExists(Program)) throw ECompilerError(Format("The kit has no %s beside qvc", StarterProgram));
  const std::vector<std::pair<std::string, std::string>> Texts = {
      {ProjectFile, StarterProjectText(Kit)},
      {Dir + "files\\readme.txt", ReadMe},
      {Dir + "files\\docs\\manual.txt", Manual},
      {Dir + "files\\docs\\examples\\settings.ini", Example},
  };
  std::vector<std::string> Written;
  for (const auto& T : Texts) {
    WriteText(T.first, T.second);
    Written.push_back(T.first);
  }
  const std::string Exe = Dir + "files\\MyProduct.exe";
  if (!CopyFileA(Program.c_str(), Exe.c_str(), FALSE))
    throw ECompilerError(Format("Cannot copy %s to %s: %s", Program, Exe, Win32FailureText("CopyFileA", GetLastError())));
  Written.push_back(Exe);
  return Written;
}
