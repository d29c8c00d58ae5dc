-- Sum of i mod 7 for i = 1..n.
function run(n)
  local s = 0
  for i = 1, n do
    s = s + i % 7
  end
  return s
end
