#include "json/json_error_messages.h"

#include "platform/codepage.h"

namespace zarvex {
namespace {

// A message written in UTF-8 and its fills, one letter per "%s" in order:
// L and R the full-width opening and closing quotation marks, N a CR LF line break,
// Q a quote, B the offending byte, T the offending literal, K what the byte would close
// ("数组" or "对象"), C the closer that was expected instead.
struct Message {
  int32_t code;
  const char* text;
  const char* fills;
};

constexpr Message kMessages[] = {
    {1,
     "JSON代码已经完毕，所有对象括号已匹配完毕，若要重新解析请先初始化。%s调用方法:加入json字节集("
     ")",
     "N"},
    {2, "JSON代码起始文本应该以大括号%s{%s或者方括号%s[%s开头%s调用方法:加入json字节集()", "LRLRN"},
    {11, "对象间的成员需要以逗号%s,%s隔开。%s调用方法:大括号()", "LRN"},
    {12, "对象结束符无法匹配，不应该为：],而应该为：}%s调用方法:大括号()", "N"},
    {13, "对象%s{ }%s内定义了成员但该成员没有给定名称,或者是多给了逗号%s,%s%s调用方法:大括号()",
     "LRLRN"},
    {14, "对象大括号内%s{ }%s后面仅仅可以出现空字符或者引号%s%s%s%s调用方法:大括号()", "LRLQRN"},
    {15, "对象结束时发现多给了逗号：%s,%s，或者是成员未命名与赋值。%s调用方法:大括号()", "LRN"},
    {21, "成员名中不允许出现换行、回车、制表符(请用 \\r \\n \\t 代替)%s调用方法:对象名_获取()",
     "N"},
    {31, "成员值前缺少冒号%s:%s，成员名后只允许出现冒号。%s调用方法:对象值_等待冒号()", "LRN"},
    {41, "数组结束符无法匹配，不应该为：},而应该为：]%s调用方法:方括号()", "N"},
    {42, "数组成员间缺少逗号分隔%s调用方法:方括号()", "N"},
    {43,
     "获取对象值时发现成员结束符%s, %s，不允许成员值全空(空类型请赋予%snull%s)%s调用方法:方括号()",
     "LRLRN"},
    {44,
     "数组结束时发现多给了逗号：%s,%s，或者是成员未赋值，注意：不允许成员值全空(空类型请赋予%snull%"
     "s)。%s调用方法:方括号()",
     "LRLRN"},
    {51,
     "获取对象值时发现成员结束符%s%s%s，不允许成员值全空(空类型请赋予%snull%s)%s调用方法:对象值_"
     "准备获取()",
     "LBRLRN"},
    {61,
     "成员值类型无法确定，可能缺少引号或者大小写错误，(注意：逻辑型\\空null类型只接受小写)"
     "，错误值："
     "%s%s调用方法:对象值_获取其他()",
     "TN"},
    {62, "%s结束符无法匹配，不应该为：%s,而应该为：%s%s调用方法:对象值_获取其他()", "KBCN"},
    {71, "文本中不允许包含回车、换行、制表符，应分别用\\r \\n \\t 代替%s调用方法:对象值_获取文本()",
     "N"},
    {81, "JSON顶级节点命名模式下,对象匹配结束后不应该出现字符:%s}%s%s调用方法:取当前节点索引()",
     "LRN"},
    {82,
     "严重错误！因为%s集_节点索引组[]%s数组所记录的的结束符对应的节点超出了类中节点的最大值。%"
     "s可能原"
     "因：调用了%s取全部节点_交换变量()%"
     "s方法或其他交互变量的方法后没有再次调用该方法进行还原交换的变量"
     "所致。 %s调用方法:取当前节点索引()",
     "LRNLRN"},
};

std::string fill_text(char letter, std::string_view detail) {
  switch (letter) {
    case 'L':
      return "\xA1\xB0";
    case 'R':
      return "\xA1\xB1";
    case 'N':
      return "\r\n";
    case 'Q':
      return "\"";
    case 'B':
    case 'T':
      return std::string(detail);
    case 'K':
      return gbk_from_utf8(detail == "}" ? "数组" : "对象");
    case 'C':
      return detail == "}" ? "]" : "}";
  }
  return {};
}

}  // namespace

std::string json_error_message(int32_t code, std::string_view detail) {
  for (const Message& message : kMessages) {
    if (message.code != code) continue;
    // The GBK form of the text never holds "%s" inside a character: a second byte is 40 hex
    // or above, and "%" is 25 hex.
    const std::string text = gbk_from_utf8(message.text);
    std::string out;
    const char* fill = message.fills;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's' && *fill != '\0') {
        out += fill_text(*fill++, detail);
        ++i;
      } else {
        out.push_back(text[i]);
      }
    }
    return out;
  }
  return {};
}

}  // namespace zarvex
