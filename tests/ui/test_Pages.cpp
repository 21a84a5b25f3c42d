// The kit's wizard pages in a project under Wine, shown by the dialog
// managers of their phases and operated from outside by the window driver
// as a user does: the order of the pages and their texts, the language grid
// re-translating the open page, the folder typed becoming the main link
// group's destination, the reboot choice setting the install's flag.  Every
// page is saved as a screenshot.
#include <gtest/gtest.h>

#include "system/cmp_TInstallShellLink.h"
#include "ui/ordlg_SelectLanguage.h"
#include "ModalScenario.h"
#include "kit_translator.h"
#include "window_driver.h"

namespace {

// A project with the kit's language tables, a program folder and a manager
// for each of the given phases.
std::string PagesProjectText(const std::vector<std::string>& Phases) {
  std::string Text = "object Form1: TForm\n" + KitTranslatorText(qlEnglish) +
                     "  object psProgramMenu: TpsProgramMenu\n  end\n"
                     "  object Install1: TInstall\n    RunAutomatic = False\n  end\n"
                     "  object MainGroup: TMainLinkGroup\n    Container = Install1\n"
                     "    DestDir = '\\Old Folder'\n  end\n";
  for (const std::string& P : Phases)
    Text += "  object Manager_" + P + ": TDialogManager\n    Container = Install1\n    ManagerType = " + P +
            "\n  end\n";
  return Text + "end\n";
}
struct PagesProject : TUiProject {
  explicit PagesProject(const std::vector<std::string>& Phases) : TUiProject(PagesProjectText(Phases)) {
    // A full install: the file group page (tested on its own) passes over.
    Install->CurrentInstallType = itFull;
  }
  TDialogManager& Manager(const std::string& Phase) { return *Get<TDialogManager>("Manager_" + Phase); }
};

// The page shown in the wizard window titled Title, saved as page-NAME.png.
void ShootPage(const std::string& Title, const std::string& Name) { Shoot(Quoted(Title), "page-" + Name + ".png"); }

// What a label of the page shown says (labels draw into their parent).
std::string LabelText(const std::string& PageClass, const std::string& Label) {
  if (TBaseQuorvaneForm* F = ShownKitForm(PageClass))
    if (auto* L = dynamic_cast<TControl*>(F->FindComponent(Label))) return L->Caption();
  return "<no " + PageClass + "." + Label + ">";
}

TEST(WizardPages, BeforeInstallShowsThePagesInOrderInTheChosenLanguage) {
  PagesProject P({"dmBeforeInstall"});
  std::vector<std::string> Titles;
  RunWizard(P.Manager("dmBeforeInstall"), [&] {
    // The language page comes first: no Back; the grid lists the sixteen
    // languages with tables, English (the target) selected.
    std::string W = Quoted("Select a language");
    Drive("wait " + W + " 10");
    EXPECT_TRUE(Shows("Select a language", "BackBtn", false));
    auto* Page = ShownPage<TSelectLanguageForm>();
    ASSERT_NE(Page, nullptr);
    EXPECT_EQ(Page->LanguageGrid()->RowCount(), 8);
    EXPECT_EQ(Page->LanguageGrid()->Col(), 1);
    EXPECT_EQ(Page->LanguageGrid()->Row(), 1);
    EXPECT_EQ(Page->LanguageGrid()->Cells(0, 2), "French");
    EXPECT_EQ(Page->LanguageGrid()->Cells(1, 7), "Vietnamese");
    ShootPage("Select a language", "select-language");
    // French: the open page, and the wizard's title with it, speak French
    // at once.
    Drive("select " + W + " LanguageGrid 0,2");
    EXPECT_EQ(Translator()->TranslateIntoLanguage(), qlFrench);
    W = Quoted("Choisissez une langue");
    EXPECT_TRUE(Has(Drive("state " + W + " ProceedBtn"), "text=Suivant >"));
    EXPECT_TRUE(Has(Drive("state " + W + " CancelBtn"), "text=Annuler"));
    ShootPage("Choisissez une langue", "select-language-french");
    // Back to English, and on.
    Drive("select " + W + " LanguageGrid 1,1");
    W = Quoted("Select a language");
    EXPECT_EQ(Translator()->TranslateIntoLanguage(), qlEnglish);
    EXPECT_TRUE(Has(Drive("state " + W + " ProceedBtn"), "text=Next >"));
    Drive("click " + W + " \"Next >\"");

    W = Quoted("Welcome");
    Drive("wait " + W + " 10");
    EXPECT_TRUE(Shows("Welcome", "BackBtn", true));
    EXPECT_EQ(LabelText("TWelcomeForm", "Label10"), "This program will install the software on your computer.");
    EXPECT_EQ(LabelText("TWelcomeForm", "Label12"), "Click Next to continue with the installation.");
    ShootPage("Welcome", "welcome");
    Drive("click " + W + " \"Next >\"");

    W = Quoted("Software license agreement");
    Drive("wait " + W + " 10");
    EXPECT_EQ(LabelText("TLicenseForm", "Label2"), "Please read the following License Agreement.");
    EXPECT_NE(Drive("state " + W + " Agreement").find("SOFTWARE LICENSE AGREEMENT"), std::string::npos);
    ShootPage("Software license agreement", "license");
    // Back returns to the welcome page; Next twice comes here again.
    Drive("click " + W + " \"< Previous\"");
    Drive("wait Welcome 10");
    Drive("click Welcome \"Next >\"");
    Drive("click " + W + " \"Next >\"");

    W = Quoted("Readme information");
    Drive("wait " + W + " 10");
    EXPECT_EQ(LabelText("TReadmeForm", "Label8"),
              "Please read the information below before you install this software on your computer.");
    ShootPage("Readme information", "readme");
    Drive("click " + W + " \"Next >\"");

    // The folder page: the group's folder in the edit; what is typed is the
    // group's destination at once.
    W = Quoted("Select folder in start menu");
    Drive("wait " + W + " 10");
    EXPECT_TRUE(Has(Drive("state " + W + " FolderEdit"), "text=Old Folder"));
    Drive("type " + W + " FolderEdit \"My \"");
    const std::string State = Drive("state " + W + " FolderEdit");
    EXPECT_NE(State.find("My "), std::string::npos) << State;
    EXPECT_TRUE(Has(State, "text=" + MainLinkGroup()->DestDir().substr(1)));
    EXPECT_EQ(MainLinkGroup()->DestDir()[0], '\\');
    EXPECT_EQ(MainLinkGroup()->DestDirType(), StandardSpecifier<TpsProgramMenu>());
    ShootPage("Select folder in start menu", "select-folder");
    // Next on the last page ends the phase.
    Drive("click " + W + " \"Next >\"");
  });
  EXPECT_NE(MainLinkGroup()->DestDir().find("My "), std::string::npos) << MainLinkGroup()->DestDir();
}

TEST(WizardPages, FinishPagesStandAloneAndTheRebootChoiceSetsTheFlag) {
  PagesProject P({"dmAfterGoodInstall", "dmAfterBadInstall", "dmReboot"});
  const struct {
    const char* Phase;
    const char* Title;
    const char* Label;
    const char* Text;
    const char* Shot;
  } Finishers[] = {
      {"dmAfterGoodInstall", "Setup complete", "Label38",
       "The software has been properly installed. You may start the software by clicking on the icon.", "good-install"},
      {"dmAfterBadInstall", "Setup incomplete", "TopLabel",
       "This software has not been properly installed and will not work correctly if you try to use it.", "bad-install"},
  };
  for (const auto& F : Finishers) {
    RunWizard(P.Manager(F.Phase), [&] {
      const std::string W = Quoted(F.Title);
      Drive("wait " + W + " 10");
      // Alone in its phase: Finish only.
      EXPECT_TRUE(Shows(F.Title, "BackBtn", false)) << F.Title;
      EXPECT_TRUE(Shows(F.Title, "ProceedBtn", false)) << F.Title;
      EXPECT_TRUE(Shows(F.Title, "FinishBtn", true)) << F.Title;
      for (TBaseQuorvaneForm* Page : LiveKitForms()) {
        if (auto* L = dynamic_cast<TControl*>(Page->FindComponent(F.Label))) {
          EXPECT_EQ(L->Caption(), F.Text);
        }
      }
      ShootPage(F.Title, F.Shot);
      Drive("click " + W + " Finish");
    });
  }

  // The reboot page shows "Yes" while a reboot is set; "No" and Finish
  // leave the flag cleared.
  P.Install->Reboot = true;
  RunWizard(P.Manager("dmReboot"), [&] {
    const std::string W = Quoted("Reboot windows");
    Drive("wait " + W + " 10");
    EXPECT_TRUE(Has(Drive("state " + W + " RG"), "selected=Yes, I would like to reboot windows"));
    EXPECT_TRUE(Shows("Reboot windows", "FinishBtn", true));
    ShootPage("Reboot windows", "reboot");
    Drive("select " + W + " RG \"No, I would not like to reboot windows\"");
    EXPECT_FALSE(P.Install->Reboot);
    Drive("select " + W + " RG \"Yes, I would like to reboot windows\"");
    EXPECT_TRUE(P.Install->Reboot);
    // The same in any language: the wizard by its name, the choices by place.
    Drive("select BaseFormContainer RG #2");
    EXPECT_FALSE(P.Install->Reboot);
    Drive("select BaseFormContainer RG #1");
    EXPECT_TRUE(P.Install->Reboot);
    Drive("select " + W + " RG \"No, I would not like to reboot windows\"");
    Drive("click " + W + " Finish");
  });
  EXPECT_FALSE(P.Install->Reboot);
}

}  // namespace
