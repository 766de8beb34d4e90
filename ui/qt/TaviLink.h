#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

namespace brackwin {

// "ＭＳ Ｐゴシック" at the given size. Where that family is not installed, IPAPGothic stands in
// for it, so sizes and weights hold on any system.
QFont MsPGothicFont(qreal pointSize);

// A hyperlink: shows its caption (a CR LF breaks the line) and, when clicked, hands its url to
// the desktop through the user-interface services. A screen reader sees a link named by its
// caption, which it can press.
class TaviLink : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString url READ url WRITE setUrl)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)

  public:
    explicit TaviLink(QWidget* parent = nullptr);

    QString url() const { return url_; }
    void setUrl(const QString& url);
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    // Hands the url to the desktop, as a click does.
    void Open();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QString url_;
    QString caption_;
    bool pressed_ = false;
};

}  // namespace brackwin
