-- Joins ", " and the decimal text of i onto one string, i = 1..n; the answer is its length.
function run(n)
  local s = ""
  for i = 1, n do
    s = s .. ", " .. tostring(i)
  end
  return #s
end
