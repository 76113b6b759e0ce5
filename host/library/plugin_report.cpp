#include "host/library/plugin_report.h"

ReportValue ReportValue::of(std::string value) {
    ReportValue v;
    v.text = std::move(value);
    return v;
}

ReportValue ReportValue::of(int64_t value) {
    ReportValue v;
    v.kind = Kind::Integer;
    v.integer = value;
    return v;
}

ReportValue ReportValue::ofNumber(double value) {
    ReportValue v;
    v.kind = Kind::Number;
    v.number = value;
    return v;
}

ReportValue ReportValue::object(Members members) {
    ReportValue v;
    v.kind = Kind::Object;
    v.members = std::move(members);
    return v;
}

ReportValue ReportValue::list(std::vector<ReportValue> items) {
    ReportValue v;
    v.kind = Kind::List;
    v.items = std::move(items);
    return v;
}
