#pragma once
// The about window "关于软件": the product, its version, the author's credits and a link to the
// maker's web site.

#include <QDialog>
#include <string>

#include "platform/ui_port.h"
#include "ui/click_label.h"

namespace zarvex {

class AboutWindow : public QDialog {
  Q_OBJECT
 public:
  // `maker_site`: host name of the maker's web site (the link opens it over https).
  AboutWindow(const std::string& maker_site, Ui& ui, QWidget* parent = nullptr);

  // The address the link opens.
  const std::string& site_address() const { return site_address_; }
  ClickLabel* link() const { return link_; }

 private:
  Ui& ui_;
  std::string site_address_;
  ClickLabel* link_;
};

}  // namespace zarvex
