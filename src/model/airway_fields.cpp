#include "model/airway_fields.h"

AirwayValues TakeAirwayValues(int a) {
    return std::apply([a](const auto &...field) { return AirwayValues{field.Get(a)...}; },
                      AirwayFields::Table());
}

void PutAirwayValues(const AirwayValues &values, int a) {
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (std::get<I>(AirwayFields::Table()).Set(a, std::get<I>(values)), ...);
    }(std::make_index_sequence<std::tuple_size_v<AirwayValues>>{});
}

void MoveAirwayFields(int from, int to) {
    AirwayFields::ForEach([&](const auto &field) { field.Move(from, to); });
}

void PermuteAirwayFields(const std::vector<int> &order) {
    AirwayFields::ForEach([&](const auto &field) { field.Permute(order); });
}

void AllocateAirwayFields(Bounds airways, bool preserve) {
    AirwayFields::ForEach([&](const auto &field) {
        if (preserve)
            field.template Allocate<true>(airways);
        else
            field.template Allocate<false>(airways);
    });
}
