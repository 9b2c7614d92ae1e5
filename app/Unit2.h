// The About dialog: a short description and two links to the author.
#pragma once
#include <string>
#include <vector>

#include "ui/Forms.h"
#include "ui/StdCtrls.h"

// The twelve lines of the About text.
const std::vector<std::string>& AboutText();

constexpr const char* AuthorMailLink = "mailto:heiko.brandt@spurwisch.example";
constexpr const char* AuthorHomePage = "http://www.spurwisch.example/";

class TForm2 : public TForm {
public:
  explicit TForm2(TComponent* owner);
  const char* ClassName() const override { return "TForm2"; }

  TMemo* Memo1;      // the twelve lines of AboutText(), read-only
  TButton* Button1;  // "&Ok": closes the dialog
  TLabel* Label1;    // "EMAIL:": a link that opens AuthorMailLink
  TLabel* Label2;    // "Homepage": a link that opens AuthorHomePage

  void Button1Click(TObject* sender);
  void Label1Click(TObject* sender);
  void Label2Click(TObject* sender);
};
