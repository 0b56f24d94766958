#pragma once
#include <QObject>

// The test suites of the desktop program; ui_tests_main runs the one named on its command line.

class AppTest : public QObject {
    Q_OBJECT
private slots:
    void StartWithoutSettingsFile();
    void StartReadsTheSettingsBesideTheProgram();
    void SecondInstanceIsRefused();
};

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void LayoutFollowsTheDialogUnitsOfTheDialogFont();
    void FirstSlotShownAtStart();
    void SlotSwitchingKeepsTypedPaths();
    void EnablingFollowsTheSlotsTarget();
    void IndexOptionRules();
    void TranslatedVocabularyChangesCaptions();
    void BrowseAppliesTheChosenFile();
    void BrowseForATargetLoadsItWithoutSavingIt();
    void ReloadTargetAndIndexList();
    void ReloadWithAnEmptyField();
    void SavePathWritesOnlyItsKey();
    void SavePathOfAnUnloadedTargetIsRefused();
    void ClearEmptiesTheTextField();
    void RevertRestoresTheBackup();
    void LabelsOpenTheirFilesInTheShell();
    void DroppedFileGoesIntoTheField();
    void RememberedPositionIsRestoredAndSaved();
    void FarPositionIsPulledBackOnScreen();
    void PositionIsLeftAloneWithoutValidity();
    void AboutBoxFromTheContextMenuShortcut();
    void CheckItemsBesideTheAboutItem();
};

class PreviewWindowTest : public QObject {
    Q_OBJECT
private slots:
    void OpensFromTheContextMenuAndFollowsTheSlot();
    void TheSelectedCellsBytesAreHighlighted();
    void AChangedFileRefreshesIt();
    void ABrokenDefinitionShowsItsTextAndRecovers();
    void ItsPlaceIsRemembered();
};

class JobTest : public QObject {
    Q_OBJECT
private slots:
    void BinaryToTextByItsButton();
    void EnterRunsBinaryToText();
    void RefusedConfirmationConvertsNothing();
    void BackupKeepsThePreviousOutput();
    void WithoutBackupTheOverwriteIsAsked();
    void WithoutBackupARefusedOverwriteKeepsTheOutput();
    void TextToBinaryByItsButton();
    void CancelAndYesStopsTheJob();
    void CancelAndNoLetsTheJobContinue();
    void EscapeAndCloseBoxAskToStop();
    void EnterInTheProgressWindowDoesNothing();
    void DecryptBinaryWritesADecryptedCopy();
    void ChecksRunUnderTheProgressWindowAndWriteNothing();
};

class PlatformDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void DialogFontIsTheProportionalGothic();
    void QuestionBoxCarriesTheVocabularysYesAndNo();
    void QuestionBoxDefaultsToNo();
    void OkBoxesShowTheirStylesIcon_data();
    void OkBoxesShowTheirStylesIcon();
    void EmptyTextShowsSystemError();
    void FileChooserStartsInTheFolderAndNeedsAnExistingFile();
    void FileChooserCancel();
    void AssociationsComeFromTheDesktopsLists();
    void ShellOpenerMapsFailures();
    void ProgressWindowAsksBeforeStopping();
    void ProgressWindowCountsBytes();
};
