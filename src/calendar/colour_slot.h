#pragma once
// The colour slots a day, a title or the background is drawn in; the appearance settings keep
// a colour index per slot.
namespace sorvel {

enum ColourSlot {
    kSlotDayOff = 0, kSlotNamedDay = 1, kSlotMemoDay = 2, kSlotToday = 3, kSlotSunday = 4,
    kSlotSaturday = 5, kSlotMonday = 6, kSlotFriday = 10, kSlotYear = 11, kSlotMonth = 12,
    kSlotBackground = 13, kSlotWeekday = 14, kColourSlots = 15
};

}  // namespace sorvel
