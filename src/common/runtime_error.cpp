#include "common/runtime_error.h"

namespace popchan {

RuntimeError::RuntimeError(int number, std::string source, std::string description)
    : std::runtime_error(description), number_(number), source_(std::move(source)),
      what_(std::move(description)) {}

RuntimeError::RuntimeError(int number)
    : RuntimeError(number, kErrorSource, error_description(number)) {}

std::string error_description(int number) {
    switch (number) {
    case kInvalidCall:
        return "プロシージャの呼び出し、または引数が不正です。";
    case kOverflow:
        return "オーバーフローしました。";
    case kSubscriptOutOfRange:
        return "インデックスが有効範囲にありません。";
    case kDivisionByZero:
        return "0 で除算しました。";
    case kTypeMismatch:
        return "型が一致しません。";
    default:
        return "アプリケーション定義またはオブジェクト定義のエラーです。";
    }
}

void raise_error(int number) {
    throw RuntimeError(number);
}

std::string error_report(const RuntimeError& e, ReportForm form) {
    const std::string number = std::to_string(e.number());
    const std::string head = form == ReportForm::Long ? "エラー番号 = " + number + "、" + e.source()
                                                      : "エラー番号 " + number + e.source();
    return head + " でエラーが発生しました。 \n" + e.description();
}

} // namespace popchan
