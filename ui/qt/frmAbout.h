#pragma once

#include <QDialog>
#include <QIcon>
#include <QPointer>

class QCloseEvent;
class QGroupBox;
class QLabel;
class QPushButton;

namespace brackwin {

class TaviLink;

// The About window: title, version, the home-page and mail links and the disclaimer. It is
// modeless and has no owner, and at most one exists at a time.
class frmAbout : public QDialog {
    Q_OBJECT

  public:
    // Builds, loads and shows the About window with the program's icon; when one is already
    // open, only brings it to the front.
    static void ShowAbout(const QIcon& icon);
    // The open About window, or null when none is open.
    static frmAbout* Current();

    // Esc: the window closes exactly as with OK.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    explicit frmAbout(const QIcon& icon);

    void ApplyColours();

    void Form_Load();
    void cmdOK_Click();

    static QPointer<frmAbout> open_;

    QIcon icon_;
    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QGroupBox* Frame1;
    TaviLink* TAVI_HP_LINK;
    QGroupBox* Frame2;
    TaviLink* TAVI_LINK_MAIL;
    QLabel* Label1;
    QPushButton* cmdOK;
};

}  // namespace brackwin
