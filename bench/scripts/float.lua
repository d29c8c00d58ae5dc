-- n steps of a floating-point recurrence with + - * and /.
function run(n)
  local x = 0.5
  for i = 1, n do
    x = x * 0.999 + i / 3.0 - 1.1
  end
  return x
end
