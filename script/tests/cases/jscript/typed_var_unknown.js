var t: TNoSuchThing;
// expect compile error 1:20: Неизвестный тип: 'TNoSuchThing'
