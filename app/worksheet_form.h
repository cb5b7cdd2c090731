#pragma once

// The worksheet, the program's main window: the number of predictors, the
// control sample size, the kind of limits and the user's notes.

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/platform.h"

class QMenu;
class TfrmTemplateResults;

// An edit whose every insertion (typing, paste, drop, input method) passes a
// character filter; a refused character stops the whole insertion.
class tNumeric_line_edit : public QLineEdit {
    Q_OBJECT
public:
    // Returns the character to enter, or '\0' to refuse it (the filter itself
    // tells the user why).
    using tKey_filter = std::function<char(char)>;

    explicit tNumeric_line_edit(QWidget* parent = nullptr);
    void setKeyFilter(tKey_filter filter) { filter_ = std::move(filter); }

    // The context menu whose Paste goes through the filter.
    QMenu* createFilteredContextMenu();
    // Pastes the clipboard's text through the filter.
    void pasteFiltered();

signals:
    // A paste or a drop was entered (no key release follows those).
    void textInserted();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    char Filter(QChar c);
    std::optional<QString> Filtered(const QString& text);

    tKey_filter filter_;
};

class TfrmTemplate : public QWidget {
    Q_OBJECT
public:
    // `state_folder` is where the state file lives (see StateFolder).
    TfrmTemplate(tPlatform& platform, std::string state_folder, QWidget* parent = nullptr);

    // The controls, reachable by the compute command and the results window.
    QPlainTextEdit* DescripFld;
    QFrame* Panel3;
    QLabel* lblComments;
    QPlainTextEdit* memoComments;
    QFrame* Panel1;
    QGroupBox* RadioGroup1;
    QRadioButton* RadioGroup1Items[3];
    QLabel* Label1;
    QLineEdit* txtInput1;
    QLabel* Label2;
    tNumeric_line_edit* txtInput2;
    QFrame* pan1;
    QPushButton* cmdCompute;
    QPushButton* btnclearData;
    QPushButton* ExitBtn;

    // 0 two-sided, 1 one-sided lower, 2 one-sided upper.
    int RadioGroup1ItemIndex() const;
    void setRadioGroup1ItemIndex(int index);

    tPlatform& Platform() { return platform_; }
    const std::string& StateFolder() const { return state_folder_; }

    // The results viewer the compute command shows its report in.
    void setResultsViewer(TfrmTemplateResults* results) { results_ = results; }
    TfrmTemplateResults* ResultsViewer() const { return results_; }

    // What ends the program (Exit answered Yes, the window closed); the tests replace it.
    void setQuitAction(std::function<void()> quit) { quit_ = std::move(quit); }

    // The text of DescripFld.
    static QString DescriptionText();

    // Runs a handler; whatever escapes it goes to the default error handler.
    void Guarded(const std::function<void()>& handler);

    // Handlers, named after control and event.
    void FormCreate();
    void FormShow();
    void txtInput1Change();
    void txtInput1KeyUp();
    char txtInput2KeyPress(char key);
    void txtInput2KeyUp();
    void memoCommentsEnter();
    void memoCommentsKeyUp(int key);
    void memoCommentsExit();
    void DescripFldChange();
    void btnclearDataClick();
    void ExitBtnClick();
    void cmdComputeClick();

    // The state file, kept in the state folder.
    void LoadPreviousData();
    void SaveCurrentData();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Create_controls();
    // Sets txtInput1's text; a failure of its change handler is raised here
    // instead of being shown, so that the state file's restore stops there.
    void Set_predictors_text(const QString& text);
    void Limit_notes_length();
    int Notes_line_count() const;
    // Keeps the keys pressed in each watched field; true for a key release
    // whose press that field received.
    bool Released_here(QObject* watched, QEvent* event);

    tPlatform& platform_;
    std::string state_folder_;
    std::function<void()> quit_;
    TfrmTemplateResults* results_ = nullptr;
    bool raise_change_errors_ = false;
    std::exception_ptr change_error_;
    std::map<QObject*, std::set<int>> keys_down_;
    bool centred_ = false;
};
