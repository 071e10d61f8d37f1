#include "check_code.h"

#include <cmath>
#include <limits>

#include "salary_media_reader.h"

namespace vantrelo {

namespace {

constexpr double INT32_LOWEST = std::numeric_limits<std::int32_t>::min();
constexpr double INT32_HIGHEST = std::numeric_limits<std::int32_t>::max();

// Nearest integer, a tie going to the even one, independent of the
// floating-point environment's rounding mode.
double roundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5) {
        return below + 1.0;
    }
    if (fraction < 0.5) {
        return below;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

bool allNumeric(const SalaryRecordFields& fields) {
    for (const auto& text : fields.texts) {
        if (!isNumericText(text.view())) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<std::int32_t> probeTerm(double probeDigit, double multiplier) {
    const double product = probeDigit * multiplier;
    if (!std::isfinite(product)) {
        return std::nullopt;
    }
    const double rounded = roundHalfToEven(product);
    if (rounded < INT32_LOWEST || rounded > INT32_HIGHEST) {
        return std::nullopt;
    }
    const auto r = static_cast<std::int32_t>(rounded) % 101;  // truncating: sign of the product
    return (101 - r) % 100;
}

std::optional<CheckCodeSums> addRecordTerms(const CheckCodeSums& sums,
                                            const SalaryRecordFields& fields) {
    const double multiplier = numericValue(fields.multiplier().view());
    CheckCodeSums next = sums;
    for (std::size_t k = 0; k < next.sums.size(); ++k) {
        const auto term = probeTerm(numericValue(fields.texts[k].view()), multiplier);
        if (!term || next.sums[k] > std::numeric_limits<std::int32_t>::max() - *term) {
            return std::nullopt;
        }
        next.sums[k] += *term;
    }
    return next;
}

CheckCode encodeCheckCode(const CheckCodeSums& sums) {
    CheckCode code;
    code.symbols.reserve(2 * sums.sums.size());
    for (const std::int32_t sum : sums.sums) {
        const std::int32_t s = sum % 1000;
        code.symbols += CHECK_CODE_ALPHABET[static_cast<std::size_t>(s / 32)];
        code.symbols += CHECK_CODE_ALPHABET[static_cast<std::size_t>(s % 32)];
    }
    return code;
}

CheckCodeOutcome computeCheckCode(LineSource& source) {
    if (auto* reader = dynamic_cast<SalaryMediaReader*>(&source)) {
        return computeCheckCodeInBulk(*reader);
    }
    return computeCheckCodeLineByLine(source);
}

CheckCodeOutcome computeCheckCodeLineByLine(LineSource& source) {
    if (source.atEnd()) {
        if (const auto error = source.readError()) {
            return ReadFailure{error};
        }
        return ContentMismatch{};
    }
    SalaryRecordFields fields;
    CheckCodeSums sums;
    std::uint64_t lineNumber = 0;
    while (!source.atEnd()) {
        const std::string_view line = source.readLine();
        ++lineNumber;
        if (const auto error = source.readError()) {
            return ReadFailure{error};
        }
        fields = takeRecordFields(line, fields);
        if (!allNumeric(fields)) {
            return ContentMismatch{lineNumber};
        }
        const auto next = addRecordTerms(sums, fields);
        if (!next) {
            return CheckCodeOverflow{lineNumber};
        }
        sums = *next;
    }
    if (const auto error = source.readError()) {
        return ReadFailure{error};
    }
    return encodeCheckCode(sums);
}

}  // namespace vantrelo
