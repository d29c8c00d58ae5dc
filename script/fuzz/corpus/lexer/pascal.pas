program p;
var i: Integer;
begin
  i := $FF + 1.5e3; { comment } (* other *)
  s := 'it''s'#13#10'x'; // end
end.