// Every text of a language file that the installer reads.
#include "package/language_keys.h"

// Written by reading the code that shows each text; tools/setupkit/check_language_keys.py fails
// the tests when the code reads a key this table lacks, or the table lists one nobody reads.
const std::vector<TLanguageKeyInfo> LanguageKeys = {
    // The header: read by the language dialog and for the language's family.
    {u"File", u"Name", u"the language's name in the language dialog; without it the entry is blank",
     u"", true},
    {u"File", u"LangId",
     u"the Windows language number (1033 English, 1031 German): the dialog preselects the "
     u"language of the user's Windows by it; without it the language is never preselected",
     u"", false},
    {u"File", u"Icon",
     u"the flag beside the name in the language dialog, an .ico file as hexadecimal digits; "
     u"without it, or when it is no icon, the entry has none",
     u"", false},
    {u"File", u"Family",
     u"the language family (\"EN\", \"RU\", \"DE\"): which licence is shown and which files of "
     u"the script's lang-family are installed; without it the family is English's, or \"EN\"",
     u"", false},

    // Shared texts.
    {u"Common", u"Caption",
     u"the window's title and the title of the questions asked during the run; without it the "
     u"window has no title",
     u"", true},
    {u"Common", u"QM",
     u"the question when the user closes the window before the end; without it the box is empty",
     u"", true},
    {u"Common", u"QM2",
     u"the question (Abort, Retry, Ignore) when a file to replace stays in use, with the file's "
     u"path; without it the box is empty",
     u"%s", true},
    {u"Common", u"E1",
     u"the error when a file cannot be written, with the file's path; without it the finish "
     u"page lists an empty error",
     u"%s", true},
    {u"Common", u"E3",
     u"the error when a folder cannot be created, with the folder's path; without it the "
     u"finish page lists an empty error",
     u"%s", true},
    {u"Common", u"E4",
     u"the error listed when the user stopped the run; without it an empty line is listed", u"",
     true},
    {u"Common", u"E5",
     u"the error when a program of the product is still running after Setup asked it to "
     u"close, with the program's name; without it an English text is used",
     u"%s", false},
    {u"Common", u"A1",
     u"the install page's status while the previous installation is backed up; without it the "
     u"status line is empty",
     u"", true},
    {u"Common", u"A2",
     u"the install page's status while shortcuts are made; without it the status line is empty",
     u"", true},
    {u"Common", u"A3",
     u"the install page's status while old files are removed; without it the status line is "
     u"empty",
     u"", true},
    {u"Common", u"A4",
     u"the install page's status while the files are copied; without it the status line is "
     u"empty",
     u"", true},
    {u"Common", u"A5",
     u"the install page's status while the previous version's settings are taken over; "
     u"without it the status line is empty",
     u"", true},
    {u"Common", u"A6",
     u"the install page's status while the settings are saved; without it the status line is "
     u"empty",
     u"", true},
    {u"Common", u"A7",
     u"the install page's status while the uninstaller is written; without it the status line "
     u"is empty",
     u"", true},
    {u"Common", u"A8",
     u"the status while the running product is closed; without it the status line is empty", u"",
     true},
    {u"Common", u"A9",
     u"the uninstall page's status while the product is removed; without it the status line "
     u"is empty",
     u"", true},
    {u"Common", u"bBack", u"the Back button; without it the button is blank", u"", true},
    {u"Common", u"bNext", u"the Next button; without it the button is blank", u"", true},
    {u"Common", u"bInstall",
     u"the Next button on the page before the installation starts; without it the button is "
     u"blank",
     u"", true},
    {u"Common", u"bUninstall",
     u"the Next button on the page before the uninstallation starts; without it the button is "
     u"blank",
     u"", true},
    {u"Common", u"bFinish", u"the Next button on the last page; without it the button is blank",
     u"", true},
    {u"Common", u"lBrowse",
     u"the title of the folder picker that Browse opens; without it the system's own title "
     u"shows",
     u"", false},
    {u"Common", u"lNewFolder",
     u"kept for the folder picker's new-folder command, which the system's picker names itself; "
     u"never shown",
     u"", false},
    {u"Common", u"lOk", u"the folder picker's OK button; without it the system's own caption shows",
     u"", false},
    {u"Common", u"lCancel",
     u"the folder picker's Cancel button; without it the system's own caption shows", u"", false},

    // Every page: "Title" and "Description" head the page, and one key per control.
    {u"PageWelcome", u"Title",
     u"the header's title on the welcome page; without it the header is empty", u"", true},
    {u"PageWelcome", u"Description",
     u"the header's second line on the welcome page; without it that line is empty", u"", true},
    {u"PageWelcome", u"L1",
     u"the welcome page's heading beside the picture; without it there is none", u"", true},
    {u"PageWelcome", u"L2",
     u"the welcome page's text under the heading; without it the page is blank", u"", true},

    {u"PageLicense", u"Title",
     u"the header's title on the licence page; without it the header is empty", u"", true},
    {u"PageLicense", u"Description",
     u"the header's second line on the licence page; without it that line is empty", u"", true},
    {u"PageLicense", u"L1",
     u"the check box under the licence that the user ticks to accept it; without it the box "
     u"has no caption",
     u"", true},

    {u"PageSetup", u"Title",
     u"the header's title on the setup page, and the heading of the chosen options in the "
     u"summary; without it both are empty",
     u"", true},
    {u"PageSetup", u"Description",
     u"the header's second line on the setup page; without it that line is empty", u"", true},
    {u"PageSetup", u"LB1",
     u"the heading above the destination folder, also in the summary; without it there is "
     u"none",
     u"", true},
    {u"PageSetup", u"Browse",
     u"the button beside the destination folder that opens the folder picker; without it the "
     u"button is blank",
     u"", true},
    {u"PageSetup", u"CB1",
     u"the check box to update the installed version, also in the summary; without it the box "
     u"has no caption",
     u"", true},
    {u"PageSetup", u"CB4",
     u"the check box to keep a backup of the installed version, also in the summary; without "
     u"it the box has no caption",
     u"", true},
    {u"PageSetup", u"LB2",
     u"the heading above the choice of installation type; without it there is none", u"", true},
    {u"PageSetup", u"CB3",
     u"the choice of a portable installation, also in the summary; without it the choice has "
     u"no caption",
     u"", true},
    {u"PageSetup", u"CB3Hint", u"the grey hint under the portable choice; without it there is none",
     u"", true},
    {u"PageSetup", u"CB2",
     u"the choice of a normal installation, also in the summary; without it the choice has no "
     u"caption",
     u"", true},
    {u"PageSetup", u"W1",
     u"the note when the destination holds an installation that will be updated; without it "
     u"the note is empty",
     u"", true},
    {u"PageSetup", u"W3",
     u"the warning, also in the summary, when an installation exists that this one does not "
     u"update; without it the warning is empty",
     u"", true},

    {u"PageAddons", u"Title",
     u"the header's title on the add-ons page, and the heading of the add-ons in the summary; "
     u"without it both are empty",
     u"", true},
    {u"PageAddons", u"Description",
     u"the header's second line on the add-ons page; without it that line is empty", u"", true},
    {u"PageAddons", u"L0", u"the add-ons page's heading; without it there is none", u"", true},
    {u"PageAddons", u"CB1",
     u"the check box to install the add-on, also in the summary; without it the box has no "
     u"caption",
     u"", true},
    {u"PageAddons", u"CB2",
     u"the check box to open files with the add-on, also in the summary; without it the box "
     u"has no caption",
     u"", true},
    {u"PageAddons", u"CB3",
     u"the check box for the add-on's shortcuts, also in the summary; without it the box has no "
     u"caption",
     u"", true},
    {u"PageAddons", u"L1",
     u"the line that names the add-on (addons.ini \"L0\"); without it the line is empty", u"%s",
     true},
    {u"PageAddons", u"L2",
     u"the line with the links to the add-on's licence and privacy policy (addons.ini \"L1\" "
     u"and \"L2\"); without it the line is empty",
     u"%s %s", true},

    {u"PageIntegration", u"Title",
     u"the header's title on the integration page; without it the header is empty", u"", true},
    {u"PageIntegration", u"Description",
     u"the header's second line on the integration page; without it that line is empty", u"", true},
    {u"PageIntegration", u"LB1",
     u"the heading above the shortcut choices, also in the summary; without it there is none", u"",
     true},
    {u"PageIntegration", u"CB1",
     u"the check box for the desktop shortcut, also in the summary; without it the box has no "
     u"caption",
     u"", true},
    {u"PageIntegration", u"CB2",
     u"the check box for the Start menu shortcuts, also in the summary; without it the box has "
     u"no caption",
     u"", true},
    {u"PageIntegration", u"LB2",
     u"the heading above the Windows integration choices, also in the summary; without it "
     u"there is none",
     u"", true},
    {u"PageIntegration", u"CB4",
     u"the check box to register the product with Windows, also in the summary; without it the "
     u"box has no caption",
     u"", true},
    {u"PageIntegration", u"CB4Hint",
     u"the grey hint under the registration choice; without it there is none", u"", true},
    {u"PageIntegration", u"CB3",
     u"the check box for the file associations, also in the summary; without it the box has no "
     u"caption",
     u"", true},
    {u"PageIntegration", u"CB5",
     u"the check box for the context menu, also in the summary; without it the box has no "
     u"caption",
     u"", true},

    {u"PageReadyToInstall", u"Title",
     u"the header's title on the summary page; without it the header is empty", u"", true},
    {u"PageReadyToInstall", u"Description",
     u"the header's second line on the summary page; without it that line is empty", u"", true},

    {u"PageInstall", u"Title",
     u"the header's title while the product is installed; without it the header is empty", u"",
     true},
    {u"PageInstall", u"Description",
     u"the header's second line while the product is installed; without it that line is empty", u"",
     true},
    {u"PageInstall", u"L1",
     u"the status line until the first step reports; without it the line is empty", u"", true},

    {u"PageFinish", u"Title",
     u"the header's title on the finish page; without it the header is empty", u"", true},
    {u"PageFinish", u"Description",
     u"the header's second line on the finish page; without it that line is empty", u"", true},
    {u"PageFinish", u"L1",
     u"the finish page's heading after a good installation; without it there is none", u"", true},
    {u"PageFinish", u"L2",
     u"the finish page's text after a good installation; without it the page is blank", u"", true},
    {u"PageFinish", u"E1",
     u"the finish page's heading when the installation failed; without it there is none", u"",
     true},
    {u"PageFinish", u"E2",
     u"the finish page's text above the list of errors; without it there is none", u"", true},
    {u"PageFinish", u"L3",
     u"the link to the product's home page at the foot of the finish page; without it the link "
     u"is blank",
     u"", true},

    {u"PageUninstallParams", u"Title",
     u"the header's title on the page of uninstall choices; without it the header is empty", u"",
     true},
    {u"PageUninstallParams", u"Description",
     u"the header's second line on the page of uninstall choices; without it that line is "
     u"empty",
     u"", true},
    {u"PageUninstallParams", u"CB1",
     u"the check box to remove the backups too; without it the box has no caption", u"", true},
    {u"PageUninstallParams", u"CB2",
     u"the check box to remove the user's settings too; without it the box has no caption", u"",
     true},

    {u"PageUninstall", u"Title",
     u"the header's title while the product is removed; without it the header is empty", u"", true},
    {u"PageUninstall", u"Description",
     u"the header's second line while the product is removed; without it that line is empty", u"",
     true},
    {u"PageUninstall", u"L1",
     u"the status line until the first step reports; without it the line is empty", u"", true},

    {u"PageUninstallFinish", u"Title",
     u"the header's title on the uninstaller's last page; without it the header is empty", u"",
     true},
    {u"PageUninstallFinish", u"Description",
     u"the header's second line on the uninstaller's last page; without it that line is empty", u"",
     true},
    {u"PageUninstallFinish", u"L1",
     u"the last page's heading after a good uninstallation; without it there is none", u"", true},
    {u"PageUninstallFinish", u"L2",
     u"the last page's text after a good uninstallation; without it the page is blank", u"", true},
    {u"PageUninstallFinish", u"E1",
     u"the last page's heading when the uninstallation failed; without it there is none", u"",
     true},
    {u"PageUninstallFinish", u"E2",
     u"the last page's text above the list of errors; without it there is none", u"", true},
};
