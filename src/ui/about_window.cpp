#include "ui/about_window.h"

#include <QLabel>
#include <QPushButton>

#include "ui/built_in_picture.h"
#include "ui/gbk_text.h"
#include "ui/place.h"
#include "update/update_notice.h"

namespace zarvex {

AboutWindow::AboutWindow(const std::string& maker_site, Ui& ui, QWidget* parent)
    : QDialog(parent), ui_(ui), site_address_("https://" + maker_site + "/") {
  setObjectName(QStringLiteral("关于软件"));
  setWindowTitle(QStringLiteral("关于软件"));
  setFixedSize(452, 269);

  auto* header = place(new QLabel(this), "图片框1", {-2, 0, 440, 64});
  header->setPixmap(built_in_picture(QStringLiteral("about_header")));
  auto* name = place(new QLabel(QStringLiteral("下载器"), header), "标签1", {306, 30, 64, 32});
  name->setStyleSheet(QStringLiteral("color: #FFFFFF; background: transparent;"));

  const QString site = qt_from_gbk(maker_site);
  const QStringList lines = {
      QStringLiteral("Zarvex"),
      QStringLiteral("当前版本：%1")
          .arg(QString::fromUtf8(program_version.data(),
                                 static_cast<qsizetype>(program_version.size()))),
      QStringLiteral("作者：Zarvex 开发组"),
      QStringLiteral("官方网站：%1").arg(site),
      QStringLiteral("特别鸣谢"),
      QStringLiteral("感谢每一位提出建议、报告问题的用户"),
      QStringLiteral("感谢 Qt、libcurl、libpng 等开源项目"),
  };
  auto* text = place(new QLabel(this), "标签2", {11, 64, 384, 168});
  text->setTextFormat(Qt::RichText);
  text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // Seven lines of 24 pixels, so the web-site line lies under the link.
  // The web-site line (the fourth) looks like the link that lies over it.
  QString html;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QString look = i == 3 ? QStringLiteral("color:#1E6FD9;") : QString();
    html += QStringLiteral("<div style=\"line-height:24px;%1\">%2</div>")
                .arg(look, lines[i].toHtmlEscaped());
  }
  text->setText(QStringLiteral("<div style=\"margin-top:3px\">%1</div>").arg(html));

  link_ = place(new ClickLabel(this), "透明标签_打开官网", {88, 124, 160, 32});
  link_->setAttribute(Qt::WA_TranslucentBackground);
  link_->setCursor(Qt::PointingHandCursor);
  link_->setToolTip(qt_from_gbk(site_address_));
  // Only a web address is handed to the desktop, whatever the configuration says.
  connect(link_, &ClickLabel::pressed, this, [this] {
    if (is_web_address(site_address_)) ui_.open_url(site_address_);
  });

  auto* ok = place(new QPushButton(QStringLiteral("确定"), this), "按钮_确定", {360, 200, 80, 32});
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace zarvex
